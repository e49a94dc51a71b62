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

    // The message, followed when `pending` is set by CR LF and its error text;
    // with a line number other than 0, as an "Erreur" line entry.
    void EcrireErreur(std::string_view message, long lineNumber, const Error* pending = nullptr);
    // prefix + " Ligne n° : " + line + "." + CR LF + message.
    void EcrireLigneErreur(long lineNumber, std::string_view message, std::string_view prefix);
    // Where EcrirePluriel puts the count: already built into the text by the
    // caller, or written in front of it (the performance export's form).
    enum class Count { InText, InFront };
    // The text with every "<PLURIEL>" made "s" when count is 2 or more; with
    // Count::InFront, preceded by the count in decimal.
    void EcrirePluriel(long count, std::string_view text, Count placement = Count::InText);

    // A dry run's trace says, just before its closing line, that nothing was kept.
    void markDryRun() { dryRun_ = true; }
    // The closing line of a call, after the dry run's line when it is one.
    void writeClosingLine(std::string_view text);
    // The dry run's line, when no closing line has said it yet.
    void finishDryRun();

private:
    std::FILE* file_ = nullptr;
    bool dryRun_ = false;
    bool dryRunSaid_ = false;
};

// The text with every "<PLURIEL>" replaced by "s" when count >= 2, else removed.
std::string pluralize(long count, std::string_view text);

}  // namespace couloir
