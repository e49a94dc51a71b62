// The connection of one public call: opens the club database, marks it open
// (Info.LastClose false) and properly closed again (true).
#pragma once

#include <memory>
#include <string>

#include "shared/database.h"

namespace couloir {

struct ConnectionOptions {
    NullText nullText = NullText::Error;
    bool writesLastClose = true;
};

class Connection {
public:
    explicit Connection(ConnectionOptions options = {}) : options_(options) {}

    // Closes a connection left open, opens the database and marks it open.
    // On failure: false and errorText = "Erreur n° " + number + ": " + description.
    bool bConnexion(const std::string& path, std::string& errorText);
    // Marks the database closed and closes it; nothing to do when not open.
    // On failure: false and errorText = number + ", " + description + ".".
    bool bDeconnexion(std::string& errorText);
    void MajLastClose(const std::string& value);

    bool isOpen() const { return db_ != nullptr; }
    // The open database; using it while closed is an error.
    Database& db();

private:
    ConnectionOptions options_;
    std::unique_ptr<Database> db_;
};

}  // namespace couloir
