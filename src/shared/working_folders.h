// Folders made for one process (a call's working copies, a writer's files
// before they are delivered, a web server's uploads) hold a mark naming that
// process, so that the folders of a process that was killed are found and
// cleared by a later one instead of lying about with personal data in them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace couloir {

// The file of a marked folder that names its process.
inline constexpr const char* kProcessMarkName = "couloir-processus";

// Creates under `parent` a fresh owner-only folder named `prefix` followed by
// six random characters, marked as this process's; its path. A failure is an
// error naming the folder.
std::string createMarkedFolder(const std::string& parent, std::string_view prefix);

// Whether the process that made `folder` is gone. A folder without a mark is
// abandoned only when it is empty and was made over a minute ago (a process
// killed between making it and marking it; a younger one may be marked
// still): one that holds anything may be a user's own of a like name.
bool isAbandoned(const std::string& folder);

// The folders directly under `parent` named `prefix` and six characters, as
// createMarkedFolder names them, that belong to this user and are abandoned.
std::vector<std::string> abandonedFolders(const std::string& parent, std::string_view prefix);

// Removes the abandoned folders of abandonedFolders; one that cannot be
// removed is left for a later command.
void removeAbandonedFolders(const std::string& parent, std::string_view prefix);

}  // namespace couloir
