#include "shared/connection.h"

#include "shared/error.h"
#include "shared/progress.h"
#include "shared/trace.h"

namespace couloir {

bool Connection::bConnexion(const std::string& path, std::string& errorText) {
    if (!bDeconnexion(errorText)) return false;
    try {
        db_ = openDatabase(path, DatabaseOptions{.nullText = options_.nullText});
        if (dryRun()) {
            // Nothing of a dry run is kept, its open mark neither.
            db_->begin(Database::Lock::Write);
            if (options_.writesLastClose) MajLastClose(false);
        } else {
            if (options_.writesLastClose) {
                db_->begin(Database::Lock::Write);
                MajLastClose(false);
                db_->commit();
            }
            db_->begin(options_.lock);
        }
        if (form_) form_->runHostStatements(*db_);
        return true;
    } catch (...) {
        db_.reset();  // undoes whatever the host's statements began
        errorText = strTexteErreur(caughtError());
        return false;
    }
}

bool Connection::bDeconnexion(std::string& errorText) {
    if (!db_) return true;
    try {
        if (dryRun()) {
            db_->rollback();
            db_.reset();
            return true;
        }
        if (options_.writesLastClose) {
            if (!db_->inTransaction()) db_->begin(Database::Lock::Write);
            MajLastClose(true);
        }
        db_->commit();
        db_.reset();
        return true;
    } catch (...) {
        Error e = caughtError();
        db_.reset();
        errorText = std::to_string(e.number()) + ", " + e.description() + ".";
        return false;
    }
}

void Connection::MajLastClose(bool closed) {
    db().execute(std::string("Update Info Set LastClose = ") + (closed ? "true" : "false"));
}

void Connection::discardCall() {
    db().rollback();
    db().begin(options_.lock);
}

bool Connection::dryRun() const { return form_ && form_->dryRun(); }

Database& Connection::db() {
    if (!db_) throw Error(3704, "Opération non autorisée si l'objet est fermé");
    return *db_;
}

}  // namespace couloir
