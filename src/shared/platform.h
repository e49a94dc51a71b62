// What differs between the systems Couloir runs on, behind one set of calls:
// platform_posix.cpp and platform_windows.cpp each implement it, and the
// build takes the one of its system. Paths are UTF-8 strings everywhere;
// the Windows side turns them into UTF-16 at its calls, so that names with
// accents reach the disk as they are.
#pragma once

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "shared/private_files.h"

namespace couloir::platform {

// What separates the folders of a list in an environment variable.
#ifdef _WIN32
inline constexpr char kPathListSeparator = ';';
#else
inline constexpr char kPathListSeparator = ':';
#endif

#ifdef _WIN32
// UTF-8 text as the system's wide calls take it, and back.
std::wstring wide(std::string_view utf8);
std::string narrow(std::wstring_view utf16);
#endif

// A UTF-8 path as the standard library's path, and back.
inline std::filesystem::path pathOf(std::string_view utf8) {
    return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}
inline std::string utf8Of(const std::filesystem::path& path) {
    std::u8string text = path.u8string();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

// Whether the drive holding `path` is ready: false for a removable drive
// with no medium, or a drive letter that names nothing. Systems without
// drive letters have nothing to tell: true.
bool driveIsReady(const std::string& path);

// What a name is, a link at it not followed.
enum class EntryKind { Missing, Link, Folder, File };
EntryKind entryKind(const std::string& path);

// The same text for two names of one file or folder (another spelling, a
// hard link); none when it cannot be read.
std::optional<std::string> fileIdentity(const std::string& path);

// Opens a file for reading in binary mode; nullptr when it cannot be.
std::FILE* openForReading(const std::string& path);
// Opens a file for writing in binary mode, readable and writable by its
// owner only. A link at `path` is refused with
// errc::too_many_symbolic_link_levels; an existing name, for CreateNew, with
// errc::file_exists.
std::FILE* openOwnerOnlyFile(const std::string& path, WriteMode mode, std::error_code& error);
// Creates one folder, its owner's only; false (error clear) when it exists.
bool createOwnerOnlyFolder(const std::string& path, std::error_code& error);
// A new owner-only folder in `parent` named `prefix` and six characters.
std::optional<std::string> createUniqueFolder(const std::string& parent, std::string_view prefix,
                                              std::error_code& error);
// Whether the current user owns the file or folder.
bool ownedByCurrentUser(const std::string& path);

// Flushes a file or a folder to the disk.
void flushToDisk(const std::string& path, std::error_code& error);
// Renames `from` to `to`, replacing a file there, in one step.
void moveReplacing(const std::string& from, const std::string& to, std::error_code& error);

// The local time of `moment`.
std::tm localTime(std::time_t moment);

long currentProcessId();
// When the process started, as the system tells it ("" when it does not):
// with the number, it tells a process from a later one given the same number.
std::string processStart(long pid);
bool processExists(long pid);

// The file name of a component library ("libOmbrelay.so", "Ombrelay.dll").
std::string libraryFileName(const std::string& name);
// A library loaded for the life of the process; nullptr when it cannot be.
void* loadLibrary(const std::string& path);
void* librarySymbol(void* library, const char* name);
// The running program's file.
std::string programPath();
// The library file holding `address`, when it is not the program itself.
std::optional<std::string> libraryHolding(const void* address);

// The program's arguments, in UTF-8 (on Windows, read again from the UTF-16
// command line: the narrow ones are in the ANSI code page).
std::vector<std::string> programArguments(int argc, char** argv);
// The value of an environment variable in UTF-8; "" when it is unset (on
// Windows, read in UTF-16: the narrow environment is in the ANSI code page).
std::string environmentVariable(const char* name);
// Opens the address in the user's browser, without waiting; false when it cannot.
bool openInBrowser(const std::string& address);

// Whether the standard error is a console a person watches.
bool errorIsConsole();
// Readies the console for UTF-8 text (Windows: its code page).
void prepareConsole();

}  // namespace couloir::platform
