#include "host_form.h"

#include <strings.h>

#include <cstdio>
#include <cstring>

namespace couloir::host {
namespace {
bool is(const char* member, const char* name) { return strcasecmp(member, name) == 0; }
constexpr int kNotFound = 1;
}  // namespace

HostForm::HostForm()
    : form_{this, setCaption, getCaption, getValue, setValue, callMethod, transactionBegun, 0, nullptr} {}

void HostForm::reportTo(CallReport* report) {
    report_ = report;
    askForEvents();
}

void HostForm::onEvent(std::function<void(const couloir_event&)> listener) {
    eventListener_ = std::move(listener);
    askForEvents();
}

int HostForm::setCaption(void* context, const char* member, int index, const char* text) {
    auto* self = static_cast<HostForm*>(context);
    if (is(member, "Lb_message") && index >= 1 && index <= 3) self->captions_[index] = text;
    else if (is(member, "lb_club")) self->club_ = text;
    else if (is(member, "lb_nageur")) self->swimmer_ = text;
    else return kNotFound;
    self->changed();
    return 0;
}

int HostForm::getCaption(void* context, const char* member, int index, char* buffer, size_t size) {
    auto* self = static_cast<HostForm*>(context);
    const std::string* caption = nullptr;
    if (is(member, "Lb_message") && index >= 1 && index <= 3) caption = &self->captions_[index];
    else if (is(member, "lb_club")) caption = &self->club_;
    else if (is(member, "lb_nageur")) caption = &self->swimmer_;
    else return kNotFound;
    if (size > 0) std::snprintf(buffer, size, "%s", caption->c_str());
    return 0;
}

int HostForm::getValue(void* context, const char* member, double* value) {
    if (!is(member, "ProgressBar1")) return kNotFound;
    *value = static_cast<HostForm*>(context)->value_;
    return 0;
}

int HostForm::setValue(void* context, const char* member, double value) {
    if (!is(member, "ProgressBar1")) return kNotFound;
    auto* self = static_cast<HostForm*>(context);
    self->value_ = value;
    self->changed();
    return 0;
}

int HostForm::callMethod(void* context, const char* member) {
    if (!is(member, "Refresh") && !is(member, "Cls")) return kNotFound;
    static_cast<HostForm*>(context)->changed();
    return 0;
}

int HostForm::transactionBegun(void* context, couloir_execute_fn execute, void* transaction, char* error,
                               size_t size) {
    auto* self = static_cast<HostForm*>(context);
    for (const std::string& statement : self->hostStatements_) {
        char message[1024] = {};
        if (execute(transaction, statement.c_str(), message, sizeof message) != 0) {
            self->hostFailure_ = message;
            if (size > 0) std::snprintf(error, size, "%s", message);
            return 1;
        }
    }
    return 0;
}

int HostForm::receiveEvent(void* context, const couloir_event* event) {
    auto* self = static_cast<HostForm*>(context);
    if (!event) return 0;
    if (self->report_) self->report_->receive(*event);
    if (self->eventListener_) self->eventListener_(*event);
    return 0;
}

ConsoleProgress::ConsoleProgress(HostForm& form, bool show) : show_(show) {
    if (show_) form.onChange([this](const HostForm& f) { redraw(f); });
}

ConsoleProgress::~ConsoleProgress() {
    if (show_ && shownPercent_ >= 0) std::fputs("\r\033[K", stderr);
}

void ConsoleProgress::redraw(const HostForm& form) {
    int percent = static_cast<int>(form.progress());
    if (percent == shownPercent_ && form.stepTitle() == shownTitle_) return;
    std::fprintf(stderr, "\r\033[K%s %3d%%", form.stepTitle().c_str(), percent);
    std::fflush(stderr);
    shownPercent_ = percent;
    shownTitle_ = form.stepTitle();
}

}  // namespace couloir::host
