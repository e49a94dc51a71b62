// Files and folders that Couloir creates may hold personal data (birth
// dates, addresses): they are owner-only whatever the umask, and never
// reached through a symbolic link, so that a planted link cannot make a
// call write somewhere else.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace couloir {

enum class WriteMode {
    Replace,    // created or emptied
    Append,     // created or added to
    CreateNew,  // created; an existing name (a dangling link among them) is an error
};

// Opens `path` for writing in binary mode, 0600. A symbolic link at `path`
// is an error naming it, as is any other failure.
std::FILE* openPrivateFile(const std::string& path, WriteMode mode);

// Writes `content` to a file opened so; a short write is a "disk full" error.
void writePrivateFile(const std::string& path, WriteMode mode, std::string_view content);

// Creates the folder and any missing parent, each new one 0700.
void createPrivateFolders(const std::string& path);

}  // namespace couloir
