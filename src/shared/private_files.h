// Files and folders that Couloir creates may hold personal data (birth
// dates, addresses): they are owner-only whatever the umask, and never
// reached through a symbolic link, so that a planted link cannot make a
// call write somewhere else.
#pragma once

#include <cstdio>
#include <string>

namespace couloir {

enum class WriteMode {
    Replace,    // created or emptied
    Append,     // created or added to
    CreateNew,  // created; an existing name (a dangling link among them) is an error
};

// Opens `path` for writing in binary mode, 0600. A symbolic link at `path`
// is an error naming it, as is any other failure.
std::FILE* openPrivateFile(const std::string& path, WriteMode mode);

// Creates the folder and any missing parent, each new one 0700.
void createPrivateFolders(const std::string& path);

}  // namespace couloir
