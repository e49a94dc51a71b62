// The files of a writing call are written first into a fresh owner-only
// folder beside the output folder (on the same file system, so that a rename
// moves them). Only when the call succeeds is each moved into place, over the
// file of the same name; a failed, cancelled or killed call leaves the output
// folder as it was. A delivery cut short by a kill is completed by the next
// writing call on the same folder.
#pragma once

#include <string>

namespace couloir {

class StagedOutput {
public:
    // Makes the staging folder: beside `folder` when its parent takes it (a
    // USB key's root has a parent the user cannot write to), else inside it.
    // A failure, or an output folder that is not a folder, is an error naming it.
    explicit StagedOutput(std::string folder);
    // Removes the staging folder and what was not delivered.
    ~StagedOutput();
    StagedOutput(const StagedOutput&) = delete;
    StagedOutput& operator=(const StagedOutput&) = delete;

    const std::string& folder() const { return folder_; }
    // Where the file `name` of the set is written until it is delivered.
    std::string path(const std::string& name) const;
    // Moves every file written into the output folder, each by a rename over
    // the file of the same name; a file whose name differs only in case is
    // replaced too, so that a reader never meets the old one. A failure is an
    // error naming the file.
    void deliver();

private:
    std::string folder_, staging_;
};

// The output folder a caller names: the current folder when it names none,
// as a file name without a folder is written there.
inline std::string outputFolderOf(std::string given) { return given.empty() ? std::string(".") : given; }

// Completes the deliveries into `folder` that a killed call had begun, and
// removes the staging folders that killed calls left beside it unfinished.
void recoverAbandonedOutput(const std::string& folder);

}  // namespace couloir
