// The files a user sends for an import: only the interchange files the
// operation reads, by their base names, within a count and a size.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "operations.h"

namespace couloir::host::web {

inline constexpr std::size_t kMaxUploadFiles = 64;
inline constexpr std::size_t kMaxUploadBytes = std::size_t{512} << 20;

// The name a file sent as `clientName` is saved under for `kind`: its base
// name (a browser may send a folder's path), matched without regard to case
// against the files the operation reads; empty when it is none of them.
std::string acceptedName(OperationKind kind, std::string_view clientName);

// The files an operation reads, in lower case; none for the unique codes,
// which take any code file (letters, digits, "_" and "-", then ".txt").
std::vector<std::string> filesRead(OperationKind kind);
// The same, for messages: "licence.txt, club.txt, ...".
std::string expectedNames(OperationKind kind);

}  // namespace couloir::host::web
