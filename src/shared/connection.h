// The connection of one public call: opens the club database, marks it open
// (Info.LastClose false, durable at once so that a crash stays visible),
// holds the call's one transaction, and marks the database properly closed
// again (true) as it commits. For a host that receives events it counts the
// rows the call changes, and reports them just before the end.
#pragma once

#include <memory>
#include <string>

#include "shared/database.h"

namespace couloir {

class ChangeCountingDatabase;
class Form;

struct ConnectionOptions {
    NullText nullText = NullText::Error;
    bool writesLastClose = true;
    // A call that only reads takes a read transaction: one state of the
    // database throughout, without keeping writers out.
    Database::Lock lock = Database::Lock::Write;
};

class Connection {
public:
    // `form`, when given, runs the host's own statements of the call as soon
    // as its transaction is open.
    explicit Connection(ConnectionOptions options = {}, Form* form = nullptr) : options_(options), form_(form) {}

    // Closes a connection left open, opens the database, marks it open and
    // begins the call's transaction. On failure (another program holding the
    // database past the wait among them) nothing is changed: false and
    // errorText = "Erreur n° " + number + ": " + description.
    bool bConnexion(const std::string& path, std::string& errorText);
    // Marks the database closed and commits the call (rolls a dry run back
    // whole); nothing to do when not open. On failure: false and errorText = number + ", " + description + ".".
    bool bDeconnexion(std::string& errorText);
    void MajLastClose(bool closed);
    // Undoes everything the call wrote and begins its transaction again; the
    // open mark stays, and the close still marks the database closed.
    void discardCall();

    bool isOpen() const { return db_ != nullptr; }
    // The open database; using it while closed is an error.
    Database& db();

private:
    bool dryRun() const;
    // Sends the host the rows the call changed, table by table.
    void reportChanges();
    void close();

    ConnectionOptions options_;
    Form* form_;
    std::unique_ptr<Database> db_;
    ChangeCountingDatabase* counter_ = nullptr;  // db_ itself, when it counts
};

}  // namespace couloir
