#include "shared/files.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <system_error>

#include "shared/cp1252.h"
#include "shared/error.h"
#include "shared/platform.h"
#include "shared/private_files.h"
#include "shared/text_date.h"
#include "shared/trace.h"
#include "shared/utf8_detection.h"

namespace fs = std::filesystem;

namespace couloir {

namespace {

// Copies `source` under a free name of the temporary directory, owner-only
// (a link planted under that name is refused), telling `census` every byte
// on the way; returns the copy's path.
std::string copyToTemporary(const std::string& source, const std::string& temporaryDirectory,
                            EncodingCensus& census) {
    std::string target = strNomTempoLibre(source, temporaryDirectory);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(openPrivateFile(target, WriteMode::CreateNew), std::fclose);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(platform::openForReading(source), std::fclose);
    if (!in) throw errors::fileNotFound(source);
    std::vector<char> buffer(std::size_t{1} << 20);
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), in.get())) {
        census.feed(std::string_view(buffer.data(), n));
        if (std::fwrite(buffer.data(), 1, n, out.get()) != n) throw errors::diskFull(target);
    }
    if (std::ferror(in.get())) throw Error(errors::kPathFileAccess, "Copie de " + source + " impossible");
    if (std::fclose(out.release()) != 0) throw errors::diskFull(target);
    return target;
}

std::string join(const std::string& directory, const std::string& name) {
    if (directory.empty()) return name;
    char last = directory.back();
    return (last == '/' || last == '\\') ? directory + name : directory + "/" + name;
}
}  // namespace

std::string strCheminFichier(const std::string& directory, const std::string& name) {
    std::string path = join(directory, name);
    std::error_code ec;
    if (fs::exists(platform::pathOf(path), ec)) return path;
    for (fs::directory_iterator it(platform::pathOf(directory.empty() ? "." : directory), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::string candidate = platform::utf8Of(it->path().filename());
        if (equalsNoCase(candidate, name)) return join(directory, candidate);
    }
    return path;
}

bool bLecteurPret(const std::string& directory) {
    std::error_code ec;
    if (!platform::driveIsReady(directory)) return false;
    fs::directory_iterator it(platform::pathOf(directory), ec);
    return !ec && fs::is_directory(platform::pathOf(directory), ec);
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(platform::pathOf(path), ec);
}

std::string fileName(const std::string& path) { return platform::utf8Of(platform::pathOf(path).filename()); }

std::string parentDirectory(const std::string& path) { return platform::utf8Of(platform::pathOf(path).parent_path()); }

bool bFichierPresent(Trace& trace, std::string& path, const std::string& temporaryDirectory) {
    if (fileExists(path)) {
        std::string source = path;
        EncodingCensus census;
        path = copyToTemporary(source, temporaryDirectory, census);
        EcrireEncodage(trace, source, census.finish());
        return true;
    }
    trace.warning("Fichier " + fileName(path) + " non trouvé dans le répertoire : " + parentDirectory(path));
    path.clear();
    return false;
}

void EcrireEncodage(Trace& trace, const std::string& path, const FileEncodings& encodings) {
    if (encodings.savedAsUtf8())
        trace.warning("Warning. Le fichier " + fileName(path) + " est enregistré en UTF-8 : il est lu comme tel.");
    if (encodings.mixed())
        trace.warning("Warning. Le fichier " + fileName(path) + " mélange deux encodages : la ligne " +
                      std::to_string(encodings.firstUtf8) + " est en UTF-8, la ligne " +
                      std::to_string(encodings.firstSingleByte) +
                      " en Windows-1252. Chaque ligne est lue dans son propre encodage.");
}

std::string strNomTempoLibre(const std::string& source, const std::string& temporaryDirectory) {
    std::string name = fileName(source);
    std::size_t dot = name.rfind('.');
    std::string base = dot == std::string::npos ? name : name.substr(0, dot);
    std::string extension = dot == std::string::npos ? "" : name.substr(dot + 1);
    std::string candidate = join(temporaryDirectory, name);
    std::int16_t counter = 0;
    std::error_code ec;
    while (fs::exists(platform::pathOf(candidate), ec)) {
        counter = toInt16(std::int64_t{counter} + 1);
        candidate = join(temporaryDirectory, base + std::to_string(counter) + "." + extension);
    }
    return candidate;
}

std::string strCopierVersTempo(const std::string& source, const std::string& temporaryDirectory) {
    EncodingCensus ignored;
    return copyToTemporary(source, temporaryDirectory, ignored);
}

std::uint64_t vTailleFichier(const std::string& path) {
    std::error_code ec;
    auto size = fs::file_size(platform::pathOf(path), ec);
    return ec ? 0 : size;
}

std::int16_t iLongueurLigne(const std::string& path) {
    if (!fileExists(path)) return 0;
    LineReader reader(path);
    std::string line;
    if (!reader.next(line, false)) throw errors::emptyFile(path);
    std::int64_t length = static_cast<std::int64_t>(charCount(line)) + 2;
    if (length > std::numeric_limits<std::int16_t>::max())
        throw Error(errors::kOverflow, "Dépassement de capacité : la ligne 1 du fichier " + fileName(path) + " compte " +
                                           std::to_string(length - 2) + " caractères");
    return static_cast<std::int16_t>(length);
}

std::int32_t lVerifierLongueur(Trace& trace, const std::string& path, int minimum) {
    if (!fileExists(path)) return 0;
    int recordLength = iLongueurLigne(path);
    auto size = vTailleFichier(path);
    auto count = roundHalfEven(static_cast<double>(size) / recordLength);
    if (recordLength < minimum) {
        trace.warning("Warning Les lignes dans le fichier " + fileName(path) + " n'ont pas la longueur requise." +
                    std::string(CRLF) + "Les informations pourront être incomplètes." + std::string(CRLF));
    }
    if (count > INT32_MAX) throw errors::overflow();
    return static_cast<std::int32_t>(count);
}

void LireOrigine(Trace& trace, const std::string& originPath) {
    try {
        std::string text;
        if (fileExists(originPath)) {
            LineReader reader(originPath);
            if (!reader.next(text, false)) throw errors::pastEndOfFile();
        } else {
            text = std::string(CRLF) + "Fichier origine.txt non disponible";
        }
        trace.write("Données source générées par l'application : " + text);
        trace.writeEmpty();
    } catch (...) {
        Error e = caughtError();
        trace.EcrireErreur("Une erreur s'est produite lors de la lecture du fichier origine.txt", 0, &e);
    }
}

LineReader::LineReader(const std::string& path, Trace* trace)
    : path_(path), file_(platform::openForReading(path)), trace_(trace), buffer_(std::size_t{1} << 16) {
    if (!file_) throw errors::fileNotFound(path);
    if (trace_) trace_->stepReads(path);
}

LineReader::~LineReader() {
    if (file_) std::fclose(file_);
}

namespace {

constexpr char kDosEndOfFile = '\x1A';

bool isControl(char ch) {
    auto c = static_cast<unsigned char>(ch);
    return (c < 0x20 && c != '\t') || c == 0x7F;
}

// Where the first control character of `line` stands, or its size; words of
// eight bytes without a byte below 0x20 or equal to 0x7F are passed at once.
std::size_t firstControl(std::string_view line) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
    std::size_t i = 0;
    for (; i + 8 <= line.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, line.data() + i, 8);
        std::uint64_t del = word ^ (kOnes * 0x7F);
        if ((((word - kOnes * 0x20) & ~word) | ((del - kOnes) & ~del)) & kHighs) break;
    }
    while (i < line.size() && !isControl(line[i])) ++i;
    return i;
}

// Why a decoded line cannot be stored as text: the first control character
// it holds (a tab is a blank of the line), or the empty text.
std::string controlCharacterIn(std::string_view line) {
    std::size_t offset = firstControl(line);
    if (offset == line.size()) return {};
    auto control = line.begin() + static_cast<std::ptrdiff_t>(offset);
    return "caractère de contrôle (code " + std::to_string(static_cast<unsigned char>(*control)) + ") en position " +
           std::to_string(charCount(line.substr(0, offset)) + 1);
}

}  // namespace

bool LineReader::nextRawLine(std::string_view& raw) {
    for (;;) {
        const char* start = buffer_.data() + begin_;
        if (const void* newline = std::memchr(start, '\n', end_ - begin_)) {
            std::size_t length = static_cast<std::size_t>(static_cast<const char*>(newline) - start) + 1;
            raw = std::string_view(start, length);
            begin_ += length;
            return true;
        }
        if (ended_) {
            if (begin_ == end_) return false;
            raw = std::string_view(start, end_ - begin_);
            begin_ = end_;
            return true;
        }
        // No whole line left: the rest goes to the front, and more is read behind it.
        std::memmove(buffer_.data(), start, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
        if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
        std::size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
        end_ += got;
        ended_ = got == 0;
    }
}

bool LineReader::next(std::string& line, bool convertDosAccents) {
    std::string_view raw;
    if (!nextRawLine(raw)) return false;
    if (!raw.empty() && raw.back() == '\n') raw.remove_suffix(1);
    while (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    if (!raw.empty() && raw.find_first_not_of(kDosEndOfFile) == std::string_view::npos) return false;
    ++lineNumber_;
    LineEncoding encoding = lineEncoding(raw);
    encodings_.note(lineNumber_, encoding);
    if (lineNumber_ == 1 && raw.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark)
        raw.remove_prefix(kUtf8ByteOrderMark.size());
    if (encoding != LineEncoding::SingleByte) line.assign(raw);
    else line = convertDosAccents ? decodeCp1252(strConvertirAccents(raw)) : decodeCp1252(raw);
    problem_ = controlCharacterIn(line);
    if (trace_) trace_->noteRecord(line);
    return true;
}

std::string LineReader::refusal() const { return "Ligne illisible : " + problem_ + "."; }

void LineReader::requireText() const {
    if (!problem_.empty()) throw errors::unreadableLine(path_, lineNumber_, problem_);
}

}  // namespace couloir
