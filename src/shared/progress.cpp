#include "shared/progress.h"

#include <cstdio>

#include "shared/change_counts.h"
#include "shared/database.h"
#include "shared/error.h"
#include "shared/trace.h"

namespace couloir {
namespace {
void check(int status, const char* member) {
    if (status != 0) throw errors::memberNotFound(member);
}
}  // namespace

void Form::setCaption(const char* member, int index, std::string_view text) {
    if (!host_ || !host_->set_caption) return;
    std::string copy(text);
    check(host_->set_caption(host_->context, member, index, copy.c_str()), member);
}

std::string Form::caption(const char* member, int index) {
    if (!host_ || !host_->get_caption) return {};
    char buffer[512] = {};
    check(host_->get_caption(host_->context, member, index, buffer, sizeof buffer), member);
    return buffer;
}

double Form::value(const char* member) {
    double v = 0;
    if (host_ && host_->get_value) check(host_->get_value(host_->context, member, &v), member);
    return v;
}

void Form::setValue(const char* member, double v) {
    if (host_ && host_->set_value) check(host_->set_value(host_->context, member, v), member);
}

void Form::call(const char* member) {
    if (host_ && host_->call_method) check(host_->call_method(host_->context, member), member);
}

void Form::emit(const couloir_event& event) const {
    if (receivesEvents()) host_->event(host_->context, &event);
}

namespace {
// couloir_execute_fn over the library's database: one statement, its failure as a message.
int executeForHost(void* transaction, const char* sql, char* error, std::size_t size) {
    try {
        std::string_view text = sql ? sql : "";
        static_cast<Database*>(transaction)->execute(Statement::written(text, statementTarget(text)));
        return 0;
    } catch (...) {
        if (error && size) std::snprintf(error, size, "%s", strTexteErreur(caughtError()).c_str());
        return 1;
    }
}
}  // namespace

void Form::runHostStatements(Database& db) {
    if (!host_ || !host_->transaction_begun) return;
    char message[1024] = {};
    if (host_->transaction_begun(host_->context, executeForHost, &db, message, sizeof message) != 0)
        throw Error(errors::kInvalidCall, message[0] ? message : "Refus de l'application hôte");
}

void AfficherEtape(Form& form, Trace& trace, std::string_view title, std::string_view text) {
    form.setCaption("Lb_message", 2, title);
    trace.writeEmpty();
    trace.beginStep(title);
    trace.write(text);
    form.setValue("ProgressBar1", 0);
    form.call("Refresh");
}

void AvancerProgression(Form& form, double increment) {
    double current = form.value("ProgressBar1");
    form.setValue("ProgressBar1", current > 100 - increment ? 100 : current + increment);
}

}  // namespace couloir
