// The host's progress form, reached by member names as the host's window
// names them. A member the host lacks raises the "member not found" error.
#pragma once

#include <string>
#include <string_view>

#include "couloir/couloir.h"

namespace couloir {

class Database;
class Trace;

class Form {
public:
    // A null form accepts and ignores every call.
    explicit Form(const couloir_form* host) : host_(host) {}

    void setCaption(const char* member, int index, std::string_view text);
    std::string caption(const char* member, int index);
    double value(const char* member);
    void setValue(const char* member, double value);
    void call(const char* member);
    // Lets the host run its own statements of the call in `db`'s open
    // transaction; the host's refusal is an error carrying its message.
    void runHostStatements(Database& db);
    // Whether the host asked for a dry run.
    bool dryRun() const { return host_ && host_->dry_run != 0; }
    // Whether the host receives the call's events, and hands it one.
    bool receivesEvents() const { return host_ && host_->event; }
    void emit(const couloir_event& event) const;

private:
    const couloir_form* host_;
};

// Shows a step: its title on label 2 of Lb_message, an empty line then the
// text in the trace, the bar back to 0, and a repaint.
void AfficherEtape(Form& form, Trace& trace, std::string_view title, std::string_view text);
// Moves the bar on by `increment` without passing 100.
void AvancerProgression(Form& form, double increment);

}  // namespace couloir
