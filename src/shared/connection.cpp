#include "shared/connection.h"

#include "shared/error.h"
#include "shared/trace.h"

namespace couloir {

bool Connection::bConnexion(const std::string& path, std::string& errorText) {
    if (!bDeconnexion(errorText)) return false;
    try {
        db_ = openDatabase(path, DatabaseOptions{options_.nullText});
        if (options_.writesLastClose) {
            MajLastClose("false");
            db_->commit();  // the open mark is durable at once
        }
        return true;
    } catch (const Error& e) {
        db_.reset();
        errorText = strTexteErreur(e);
        return false;
    }
}

bool Connection::bDeconnexion(std::string& errorText) {
    if (!db_) return true;
    try {
        if (options_.writesLastClose) MajLastClose("true");
        db_->commit();
        db_.reset();
        return true;
    } catch (const Error& e) {
        db_.reset();
        errorText = std::to_string(e.number()) + ", " + e.description() + ".";
        return false;
    }
}

void Connection::MajLastClose(const std::string& value) { db().execute("Update Info Set LastClose = " + value); }

Database& Connection::db() {
    if (!db_) throw Error(3704, "Opération non autorisée si l'objet est fermé");
    return *db_;
}

}  // namespace couloir
