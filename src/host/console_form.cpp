#include "console_form.h"

#include <strings.h>

#include <cstdio>
#include <cstring>

namespace couloir::host {
namespace {
bool is(const char* member, const char* name) { return strcasecmp(member, name) == 0; }
constexpr int kNotFound = 1;
}  // namespace

ConsoleForm::ConsoleForm(bool showProgress)
    : form_{this, setCaption, getCaption, getValue, setValue, callMethod, transactionBegun, 0, nullptr},
      showProgress_(showProgress) {}

ConsoleForm::~ConsoleForm() {
    if (showProgress_ && shownPercent_ >= 0) std::fputs("\r\033[K", stderr);
}

int ConsoleForm::setCaption(void* context, const char* member, int index, const char* text) {
    auto* self = static_cast<ConsoleForm*>(context);
    if (is(member, "Lb_message") && index >= 1 && index <= 3) self->captions_[index] = text;
    else if (is(member, "lb_club")) self->club_ = text;
    else if (is(member, "lb_nageur")) self->swimmer_ = text;
    else return kNotFound;
    return 0;
}

int ConsoleForm::getCaption(void* context, const char* member, int index, char* buffer, size_t size) {
    auto* self = static_cast<ConsoleForm*>(context);
    const std::string* caption = nullptr;
    if (is(member, "Lb_message") && index >= 1 && index <= 3) caption = &self->captions_[index];
    else if (is(member, "lb_club")) caption = &self->club_;
    else if (is(member, "lb_nageur")) caption = &self->swimmer_;
    else return kNotFound;
    if (size > 0) std::snprintf(buffer, size, "%s", caption->c_str());
    return 0;
}

int ConsoleForm::getValue(void* context, const char* member, double* value) {
    if (!is(member, "ProgressBar1")) return kNotFound;
    *value = static_cast<ConsoleForm*>(context)->value_;
    return 0;
}

int ConsoleForm::setValue(void* context, const char* member, double value) {
    if (!is(member, "ProgressBar1")) return kNotFound;
    auto* self = static_cast<ConsoleForm*>(context);
    self->value_ = value;
    if (static_cast<int>(value) != self->shownPercent_) self->redraw();
    return 0;
}

int ConsoleForm::callMethod(void* context, const char* member) {
    if (!is(member, "Refresh") && !is(member, "Cls")) return kNotFound;
    static_cast<ConsoleForm*>(context)->redraw();
    return 0;
}

int ConsoleForm::transactionBegun(void* context, couloir_execute_fn execute, void* transaction, char* error,
                                  size_t size) {
    auto* self = static_cast<ConsoleForm*>(context);
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

int ConsoleForm::receiveEvent(void* context, const couloir_event* event) {
    auto* self = static_cast<ConsoleForm*>(context);
    if (self->report_ && event) self->report_->receive(*event);
    return 0;
}

void ConsoleForm::redraw() {
    if (!showProgress_) return;
    int percent = static_cast<int>(value_);
    const std::string& title = !captions_[2].empty() ? captions_[2] : captions_[1];
    std::fprintf(stderr, "\r\033[K%s %3d%%", title.c_str(), percent);
    std::fflush(stderr);
    shownPercent_ = percent;
}

}  // namespace couloir::host
