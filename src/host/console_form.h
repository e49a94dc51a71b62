// The host form of the command line: a progress line on stderr (when it is a
// terminal) showing the current step title and the bar value.
#pragma once

#include <string>
#include <vector>

#include "call_report.h"
#include "couloir/couloir.h"

namespace couloir::host {

class ConsoleForm {
public:
    explicit ConsoleForm(bool showProgress);
    ~ConsoleForm();
    ConsoleForm(const ConsoleForm&) = delete;
    ConsoleForm& operator=(const ConsoleForm&) = delete;
    const couloir_form* form() const { return &form_; }

    // The host's own statements of the call, run in its transaction as soon
    // as the library opens it, and kept or undone with the call.
    void runInCallTransaction(std::vector<std::string> statements) { hostStatements_ = std::move(statements); }
    void setDryRun(bool dryRun) { form_.dry_run = dryRun ? 1 : 0; }
    // The call's events go to `report` (none are asked for without one).
    void reportTo(CallReport* report) {
        report_ = report;
        form_.event = report ? receiveEvent : nullptr;
    }
    // Why a host statement failed; empty when none did.
    const std::string& hostFailure() const { return hostFailure_; }

private:
    static int setCaption(void* context, const char* member, int index, const char* text);
    static int getCaption(void* context, const char* member, int index, char* buffer, size_t size);
    static int getValue(void* context, const char* member, double* value);
    static int setValue(void* context, const char* member, double value);
    static int callMethod(void* context, const char* member);
    static int transactionBegun(void* context, couloir_execute_fn execute, void* transaction, char* error,
                                size_t size);
    static int receiveEvent(void* context, const couloir_event* event);
    void redraw();

    couloir_form form_;
    bool showProgress_;
    std::string captions_[4];  // Lb_message elements 1 to 3
    std::string club_, swimmer_;
    double value_ = 0;
    int shownPercent_ = -1;
    std::vector<std::string> hostStatements_;
    std::string hostFailure_;
    CallReport* report_ = nullptr;
};

}  // namespace couloir::host
