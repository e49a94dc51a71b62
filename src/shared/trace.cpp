#include "shared/trace.h"

#include "shared/cp1252.h"
#include "shared/private_files.h"
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
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

void Trace::write(std::string_view text) {
    if (!file_) return;
    std::string bytes = writableCp1252(encodeCp1252(text));
    bytes += CRLF;
    std::fwrite(bytes.data(), 1, bytes.size(), file_);
}

void Trace::writeClosingLine(std::string_view text) {
    finishDryRun();
    write(text);
}

void Trace::finishDryRun() {
    if (!dryRun_ || dryRunSaid_) return;
    write("Simulation : aucune modification n'a été enregistrée.");
    dryRunSaid_ = true;
}

void Trace::EcrireErreur(std::string_view message, long lineNumber, const Error* pending) {
    std::string text(message);
    if (pending && pending->number() != 0) text += std::string(CRLF) + strTexteErreur(*pending);
    if (lineNumber != 0) EcrireLigneErreur(lineNumber, text, "Erreur");
    else write(text);
}

void Trace::EcrireLigneErreur(long lineNumber, std::string_view message, std::string_view prefix) {
    write(std::string(prefix) + " Ligne n° : " + std::to_string(lineNumber) + "." + std::string(CRLF) +
          std::string(message));
}

void Trace::EcrirePluriel(long count, std::string_view text, Count placement) {
    std::string prefix = placement == Count::InFront ? std::to_string(count) : std::string();
    write(prefix + pluralize(count, text));
}

}  // namespace couloir
