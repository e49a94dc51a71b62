// The host's progress form: the captions and bar a component sets, the
// host's own statements of the call, the dry-run flag and the call's events.
// What shows them is a listener: a progress line on a terminal, a web page.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "call_report.h"
#include "couloir/couloir.h"

namespace couloir::host {

class HostForm {
public:
    HostForm();
    HostForm(const HostForm&) = delete;
    HostForm& operator=(const HostForm&) = delete;
    const couloir_form* form() const { return &form_; }

    // The host's own statements of the call, run in its transaction as soon
    // as the library opens it, and kept or undone with the call.
    void runInCallTransaction(std::vector<std::string> statements) { hostStatements_ = std::move(statements); }
    void setDryRun(bool dryRun) { form_.dry_run = dryRun ? 1 : 0; }
    // Why a host statement failed; empty when none did.
    const std::string& hostFailure() const { return hostFailure_; }

    // Called when a caption or the bar changes, or the component asks for a repaint.
    void onChange(std::function<void(const HostForm&)> listener) { changed_ = std::move(listener); }
    // The call's events go to the report and to the listener (none are asked
    // for without one of them).
    void reportTo(CallReport* report);
    void onEvent(std::function<void(const couloir_event&)> listener);

    // What the component has set.
    const std::string& stepTitle() const { return !captions_[2].empty() ? captions_[2] : captions_[1]; }
    const std::string& club() const { return club_; }
    const std::string& swimmer() const { return swimmer_; }
    double progress() const { return value_; }

private:
    static int setCaption(void* context, const char* member, int index, const char* text);
    static int getCaption(void* context, const char* member, int index, char* buffer, size_t size);
    static int getValue(void* context, const char* member, double* value);
    static int setValue(void* context, const char* member, double value);
    static int callMethod(void* context, const char* member);
    static int transactionBegun(void* context, couloir_execute_fn execute, void* transaction, char* error,
                                size_t size);
    static int receiveEvent(void* context, const couloir_event* event);
    void changed() const {
        if (changed_) changed_(*this);
    }
    void askForEvents() { form_.event = report_ || eventListener_ ? receiveEvent : nullptr; }

    couloir_form form_;
    std::string captions_[4];  // Lb_message elements 1 to 3
    std::string club_, swimmer_;
    double value_ = 0;
    std::vector<std::string> hostStatements_;
    std::string hostFailure_;
    CallReport* report_ = nullptr;
    std::function<void(const HostForm&)> changed_;
    std::function<void(const couloir_event&)> eventListener_;
};

// A progress line on stderr, the step title and the bar's percentage, for as
// long as the object lives; nothing when `show` is false.
class ConsoleProgress {
public:
    ConsoleProgress(HostForm& form, bool show);
    ~ConsoleProgress();
    ConsoleProgress(const ConsoleProgress&) = delete;
    ConsoleProgress& operator=(const ConsoleProgress&) = delete;

private:
    void redraw(const HostForm& form);

    bool show_;
    int shownPercent_ = -1;
    std::string shownTitle_;
};

}  // namespace couloir::host
