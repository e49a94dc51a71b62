// The engines behind database.h; only database.cpp chooses between them.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "shared/database.h"

namespace couloir {

// Table and column names of an appended row go into the statement as they
// are: only plain identifiers pass, any other is an error.
void checkIdentifier(std::string_view name);

std::unique_ptr<Database> openSqliteDatabase(const std::string& path, const DatabaseOptions& options);
void createSqliteDatabase(const std::string& path, std::string_view script);

std::unique_ptr<Database> openPostgresDatabase(const std::string& uri, const DatabaseOptions& options);
void createPostgresDatabase(const std::string& uri, std::string_view script);

}  // namespace couloir
