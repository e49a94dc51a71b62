// The trace file: the account of one public call, in Windows-1252 lines ended
// by CR LF, and the shared message formats.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "shared/error.h"

namespace couloir {

// "Erreur n° " + number + ": " + description.
std::string strTexteErreur(long number, std::string_view description);
std::string strTexteErreur(const Error& error);

class Form;

// How a step ended: it ran to its end, found nothing to read, failed and the
// call went on, or failed and the call was cancelled.
enum class StepOutcome { Done, Skipped, Failed, Cancelled };

class Trace {
public:
    // Creates or truncates the file; isOpen() tells whether that worked.
    explicit Trace(const std::string& path);
    ~Trace();
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    void close();

    // Writes the text and CR LF; a text holding CR LF spans several lines.
    void write(std::string_view text);
    void writeEmpty() { write({}); }
    // A line that is an error or a warning: written as given, and reported to
    // the host as a message about the step's file (and about its line
    // `lineNumber`, when not 0).
    void error(std::string_view text, long lineNumber = 0);
    void warning(std::string_view text, long lineNumber = 0);

    // From here on the host receives, besides the trace's lines, the facts
    // behind them (couloir_event): steps, files, counts, messages.
    void reportTo(Form& form) { events_ = &form; }
    bool reportsEvents() const { return events_ != nullptr; }
    // A step begins; the one before ends, done unless said otherwise.
    void beginStep(std::string_view title);
    // The interchange file the current step reads.
    void stepReads(const std::string& path);
    // How the current step will be said to have ended.
    void setStepOutcome(StepOutcome outcome);
    // Ends the current step, if one is running.
    void endStep();
    // A line the current step read, as decoded: counted, and kept for the
    // message that may follow about it.
    void noteRecord(std::string_view line);
    // A number of the step's summary that no EcrirePluriel line carries alone.
    void reportCount(const char* name, long long value) const {
        if (events_) emit("count", name, nullptr, value);
    }
    // A file the call wrote, with its records and size.
    void reportWritten(const std::string& path, long long records, long long bytes);

    // The message, followed when `pending` is set by CR LF and its error text;
    // with a line number other than 0, as an "Erreur" line entry.
    void EcrireErreur(std::string_view message, long lineNumber, const Error* pending = nullptr);
    // prefix + " Ligne n° : " + line + "." + CR LF + message.
    void EcrireLigneErreur(long lineNumber, std::string_view text, std::string_view prefix);
    // Where EcrirePluriel puts the count: already built into the text by the
    // caller, or written in front of it (the performance export's form).
    enum class Count { InText, InFront };
    // The text with every "<PLURIEL>" made "s" when count is 2 or more; with
    // Count::InFront, preceded by the count in decimal. The host receives the
    // count under `name` (created, known, errors, ...).
    void EcrirePluriel(long count, const char* name, std::string_view text, Count placement = Count::InText);

    // A dry run's trace says, just before its closing line, that nothing was kept.
    void markDryRun() { dryRun_ = true; }
    // The closing line of a call, after the dry run's line when it is one.
    void writeClosingLine(std::string_view text);
    // The dry run's line, when no closing line has said it yet.
    void finishDryRun();

private:
    enum class MessageKind { Error, Warning };
    void writeMessage(MessageKind kind, std::string_view text, long lineNumber);
    void emit(const char* kind, const char* name, const char* text = nullptr, long long value = 0) const;

    std::FILE* file_ = nullptr;
    Form* events_ = nullptr;
    bool inStep_ = false;
    StepOutcome outcome_ = StepOutcome::Done;
    std::string stepFile_;
    std::string lastRecord_;
    long linesRead_ = 0;
    bool dryRun_ = false;
    bool dryRunSaid_ = false;
};

// The text with every "<PLURIEL>" replaced by "s" when count >= 2, else removed.
std::string pluralize(long count, std::string_view text);

}  // namespace couloir
