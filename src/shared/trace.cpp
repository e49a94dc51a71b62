#include "shared/trace.h"

#include "shared/cp1252.h"
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

Trace::Trace(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {}

Trace::~Trace() { close(); }

void Trace::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

void Trace::write(std::string_view text) {
    if (!file_) return;
    std::string bytes = encodeCp1252(text);
    bytes += CRLF;
    std::fwrite(bytes.data(), 1, bytes.size(), file_);
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
