// A multipart form as it arrives: its plain fields kept (they are short),
// each file written to a staging folder chunk by chunk, so that an upload of
// hundreds of megabytes is never held in memory.
#pragma once

#include <httplib.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace couloir::host::web {

struct ReceivedFile {
    std::string clientName;  // as the browser named it
    std::string path;        // where it was saved
};

struct ReceivedForm {
    std::map<std::string, std::string> fields;
    std::vector<ReceivedFile> files;  // the parts named "files", in order
    std::string refusal;              // French, when reading stopped at a limit or failed

    // A field's value, empty when absent.
    std::string field(const std::string& name) const;
};

// Reads the request's form, saving its files as `staging`/0, /1, ... (owner-only).
ReceivedForm receiveForm(const httplib::ContentReader& reader, const std::string& staging);

// A folder of its own for one request's files, owner-only, removed with
// everything left in it when the object goes.
class StagingFolder {
public:
    explicit StagingFolder(std::string path);
    ~StagingFolder();
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace couloir::host::web
