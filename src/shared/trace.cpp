#include "shared/trace.h"

#include "shared/cp1252.h"
#include "shared/files.h"
#include "shared/private_files.h"
#include "shared/progress.h"
#include "shared/text_date.h"

namespace couloir {

std::string strTexteErreur(long number, std::string_view description) {
    return "Erreur n° " + std::to_string(number) + ": " + std::string(description);
}

std::string strTexteErreur(const Error& error) { return strTexteErreur(error.number(), error.description()); }

std::string pluralize(long count, std::string_view text) {
    std::string out(text);
    replaceAll(out, "<PLURIEL>", count >= 2 ? "s" : "");
    return out;
}

namespace {

// Windows-1252 as any reader decodes it: the bytes it leaves undefined, and
// control characters other than tab and the CR LF of a line end, become "?".
// They come from echoed input lines.
std::string writableCp1252(std::string bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        auto b = static_cast<unsigned char>(bytes[i]);
        bool lineEnd = (b == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ||
                       (b == '\n' && i > 0 && bytes[i - 1] == '\r');
        bool control = (b < 0x20 && b != '\t' && !lineEnd) || b == 0x7F;
        bool undefined = b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
        if (control || undefined) bytes[i] = '?';
    }
    return bytes;
}

// The UTF-8 text as the trace shows it, for the host's copy of a line: the
// characters writableCp1252 turns into "?" (C0 and C1 controls but tab and
// CR LF) become "?" here too.
std::string visibleText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto b = static_cast<unsigned char>(text[i]);
        bool lineEnd = (b == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ||
                       (b == '\n' && i > 0 && text[i - 1] == '\r');
        if ((b < 0x20 && b != '\t' && !lineEnd) || b == 0x7F) {
            out += '?';
        } else if (b == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
            out += '?';  // U+0080 to U+009F
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

Trace::Trace(const std::string& path) {
    try {
        file_ = openPrivateFile(path, WriteMode::Replace);
    } catch (...) {
        file_ = nullptr;  // isOpen() says so; the caller reports it
    }
}

Trace::~Trace() { close(); }

void Trace::close() {
    endStep();
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

void Trace::write(std::string_view text) {
    if (!file_) return;
    std::string bytes = writableCp1252(encodeCp1252(text));
    bytes += CRLF;
    std::fwrite(bytes.data(), 1, bytes.size(), file_);
    if (events_) emit("line", nullptr, visibleText(text).c_str());
}

void Trace::error(std::string_view text, long lineNumber) { writeMessage(MessageKind::Error, text, lineNumber); }

void Trace::warning(std::string_view text, long lineNumber) { writeMessage(MessageKind::Warning, text, lineNumber); }

void Trace::writeMessage(MessageKind kind, std::string_view text, long lineNumber) {
    write(text);
    if (!events_) return;
    std::string owned = visibleText(text);
    couloir_event event{};
    event.kind = "message";
    event.name = kind == MessageKind::Error ? "error" : "warning";
    event.text = owned.c_str();
    event.file = inStep_ && !stepFile_.empty() ? stepFile_.c_str() : nullptr;
    event.line = lineNumber;
    // The line just read is the one the message is about when the numbers agree.
    if (inStep_ && lineNumber != 0 && lineNumber == linesRead_) event.record = lastRecord_.c_str();
    events_->emit(event);
}

void Trace::emit(const char* kind, const char* name, const char* text, long long value) const {
    couloir_event event{};
    event.kind = kind;
    event.name = name;
    event.text = text;
    event.values[0] = value;
    events_->emit(event);
}

void Trace::beginStep(std::string_view title) {
    endStep();
    inStep_ = true;
    outcome_ = StepOutcome::Done;
    stepFile_.clear();
    lastRecord_.clear();
    linesRead_ = 0;
    if (events_) emit("step", std::string(title).c_str());
}

void Trace::stepReads(const std::string& path) {
    if (!inStep_) return;
    stepFile_ = fileName(path);
    if (events_) emit("file", stepFile_.c_str());
}

void Trace::setStepOutcome(StepOutcome outcome) {
    if (inStep_) outcome_ = outcome;
}

void Trace::endStep() {
    if (!inStep_) return;
    inStep_ = false;
    static constexpr const char* kOutcomes[] = {"done", "skipped", "failed", "cancelled"};
    if (events_) emit("step_end", kOutcomes[static_cast<int>(outcome_)], nullptr, linesRead_);
}

void Trace::noteRecord(std::string_view line) {
    if (!events_ || !inStep_) return;
    ++linesRead_;
    lastRecord_.assign(line);
}

void Trace::reportWritten(const std::string& path, long long records, long long bytes) {
    if (!events_) return;
    std::string name = fileName(path);
    couloir_event event{};
    event.kind = "written";
    event.name = name.c_str();
    event.values[0] = records;
    event.values[1] = bytes;
    events_->emit(event);
}

void Trace::writeClosingLine(std::string_view text) {
    endStep();
    finishDryRun();
    write(text);
}

void Trace::finishDryRun() {
    endStep();
    if (!dryRun_ || dryRunSaid_) return;
    write("Simulation : aucune modification n'a été enregistrée.");
    dryRunSaid_ = true;
}

void Trace::EcrireErreur(std::string_view message, long lineNumber, const Error* pending) {
    std::string text(message);
    if (pending && pending->number() != 0) text += std::string(CRLF) + strTexteErreur(*pending);
    if (lineNumber != 0) EcrireLigneErreur(lineNumber, text, "Erreur");
    else writeMessage(text.starts_with("Warning") ? MessageKind::Warning : MessageKind::Error, text, 0);
}

void Trace::EcrireLigneErreur(long lineNumber, std::string_view text, std::string_view prefix) {
    writeMessage(prefix == "Warning" ? MessageKind::Warning : MessageKind::Error,
            std::string(prefix) + " Ligne n° : " + std::to_string(lineNumber) + "." + std::string(CRLF) +
                std::string(text),
            lineNumber);
}

void Trace::EcrirePluriel(long count, const char* name, std::string_view text, Count placement) {
    std::string prefix = placement == Count::InFront ? std::to_string(count) : std::string();
    write(prefix + pluralize(count, text));
    if (events_) emit("count", name, nullptr, count);
}

}  // namespace couloir
