// Run-time errors as a step's handler sees them: a number and a description,
// in the manner of the script-language errors the messages were written for.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace couloir {

class Error : public std::runtime_error {
public:
    Error(long number, std::string description)
        : std::runtime_error(description), number_(number), description_(std::move(description)) {}

    long number() const { return number_; }
    const std::string& description() const { return description_; }

private:
    long number_;
    std::string description_;
};

// Numbers and French descriptions of the run-time errors the libraries raise.
namespace errors {
inline constexpr long kInvalidCall = 5;
inline constexpr long kOutOfMemory = 7;
inline constexpr long kOverflow = 6;
inline constexpr long kSubscriptOutOfRange = 9;
inline constexpr long kTypeMismatch = 13;
inline constexpr long kFileNotFound = 53;
inline constexpr long kFileAlreadyExists = 58;
inline constexpr long kDiskFull = 61;
inline constexpr long kPastEndOfFile = 62;
inline constexpr long kPathFileAccess = 75;
inline constexpr long kPathNotFound = 76;
inline constexpr long kBadFileFormat = 321;
inline constexpr long kInvalidNull = 94;
inline constexpr long kCannotCreateObject = 429;
inline constexpr long kMemberNotFound = 438;
inline constexpr long kKeyExists = 457;
inline constexpr long kInternalError = 51;
inline constexpr long kNoCurrentRecord = 3021;
inline constexpr long kDatabaseInUse = 3045;
inline constexpr long kCannotConnect = 3151;
inline constexpr long kTextAfterStatement = 3142;
inline constexpr long kUnrecognizedDatabase = 3343;

Error invalidCall();
Error overflow();
Error subscriptOutOfRange();
Error typeMismatch();
Error fileNotFound(const std::string& path);
Error diskFull(const std::string& path);
Error pastEndOfFile();
// A file with no line at all (a copy that came through empty).
Error emptyFile(const std::string& path);
// A line that holds bytes no text may hold: `why` says which and where.
Error unreadableLine(const std::string& path, long lineNumber, const std::string& why);
Error pathNotFound(const std::string& path);
Error invalidNull();
Error cannotCreateObject(const std::string& progId);
Error memberNotFound(const std::string& member);
Error keyExists();
Error noCurrentRecord();
Error databaseInUse(const std::string& path, int waitedSeconds);
Error textAfterStatement();
Error unrecognizedDatabase(const std::string& path);
Error cannotConnect(const std::string& server, const std::string& reason);
}  // namespace errors

// An engine's message with the statement it is about (cut when long).
std::string withStatement(std::string message, std::string_view sql);

// The exception being handled as an Error: ours as it is, a lack of memory as
// the out-of-memory error, any other exception as an internal error carrying
// its message. Call only inside a catch.
Error caughtError();

}  // namespace couloir
