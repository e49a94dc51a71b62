#include "shared/connection.h"

#include "shared/change_counts.h"
#include "shared/error.h"
#include "shared/progress.h"
#include "shared/trace.h"

namespace couloir {

bool Connection::bConnexion(const std::string& path, std::string& errorText) {
    if (!bDeconnexion(errorText)) return false;
    try {
        db_ = openDatabase(path, DatabaseOptions{.nullText = options_.nullText});
        if (form_ && form_->receivesEvents()) {
            auto counted = std::make_unique<ChangeCountingDatabase>(std::move(db_));
            counter_ = counted.get();
            db_ = std::move(counted);
        }
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
        // The call's changes are counted from here, the host's own statements included.
        if (counter_) counter_->startCounting();
        if (form_) form_->runHostStatements(*db_);
        return true;
    } catch (...) {
        close();  // undoes whatever the host's statements began
        errorText = strTexteErreur(caughtError());
        return false;
    }
}

bool Connection::bDeconnexion(std::string& errorText) {
    if (!db_) return true;
    try {
        reportChanges();
        if (dryRun()) {
            db_->rollback();
            close();
            return true;
        }
        if (options_.writesLastClose) {
            if (!db_->inTransaction()) db_->begin(Database::Lock::Write);
            MajLastClose(true);
        }
        db_->commit();
        close();
        return true;
    } catch (...) {
        Error e = caughtError();
        close();
        errorText = std::to_string(e.number()) + ", " + e.description() + ".";
        return false;
    }
}

void Connection::MajLastClose(bool closed) {
    db().execute(Statement::update("Update", "Info").sql(" Set LastClose = ").boolean(closed));
}

void Connection::discardCall() {
    db().rollback();
    if (counter_) counter_->forgetChanges();
    db().begin(options_.lock);
}

void Connection::reportChanges() {
    if (!counter_) return;
    counter_->stopCounting();
    for (const auto& [key, changes] : counter_->changes()) {
        couloir_event event{};
        event.kind = "changes";
        event.name = changes.table.c_str();
        event.values[0] = changes.inserted;
        event.values[1] = changes.updated;
        event.values[2] = changes.deleted;
        form_->emit(event);
    }
    counter_->forgetChanges();
}

void Connection::close() {
    counter_ = nullptr;
    db_.reset();
}

bool Connection::dryRun() const { return form_ && form_->dryRun(); }

Database& Connection::db() {
    if (!db_) throw Error(3704, "Opération non autorisée si l'objet est fermé");
    return *db_;
}

}  // namespace couloir
