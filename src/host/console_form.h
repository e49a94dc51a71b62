// The host form of the command line: a progress line on stderr (when it is a
// terminal) showing the current step title and the bar value.
#pragma once

#include <string>

#include "couloir/couloir.h"

namespace couloir::host {

class ConsoleForm {
public:
    explicit ConsoleForm(bool showProgress);
    ~ConsoleForm();
    ConsoleForm(const ConsoleForm&) = delete;
    ConsoleForm& operator=(const ConsoleForm&) = delete;
    const couloir_form* form() const { return &form_; }

private:
    static int setCaption(void* context, const char* member, int index, const char* text);
    static int getCaption(void* context, const char* member, int index, char* buffer, size_t size);
    static int getValue(void* context, const char* member, double* value);
    static int setValue(void* context, const char* member, double value);
    static int callMethod(void* context, const char* member);
    void redraw();

    couloir_form form_;
    bool showProgress_;
    std::string captions_[4];  // Lb_message elements 1 to 3
    std::string club_, swimmer_;
    double value_ = 0;
    int shownPercent_ = -1;
};

}  // namespace couloir::host
