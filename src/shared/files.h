// Source directory checks, working copies of the interchange files, the
// record-length estimate, origine.txt, and a line reader for the files.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "shared/utf8_detection.h"

namespace couloir {

class Trace;

// directory + "/" + name, without doubling a trailing "/" or "\". When the
// exact name is absent but the directory holds it in another case, that
// file's path is returned, so that Origine.txt is found as origine.txt.
std::string strCheminFichier(const std::string& directory, const std::string& name);

// A directory that can be listed is a ready drive.
bool bLecteurPret(const std::string& directory);

// When the file exists, replaces `path` by its working copy in the temporary
// directory and returns true; otherwise reports it missing and empties `path`.
// A copy of a file saved as UTF-8, or mixing both encodings, is announced in
// the trace.
bool bFichierPresent(Trace& trace, std::string& path, const std::string& temporaryDirectory);
// The trace's warning about a file's encodings: saved as UTF-8, or mixing
// UTF-8 and Windows-1252 lines (nothing for a file in one code page).
void EcrireEncodage(Trace& trace, const std::string& path, const FileEncodings& encodings);
std::string strCopierVersTempo(const std::string& source, const std::string& temporaryDirectory);
std::string strNomTempoLibre(const std::string& source, const std::string& temporaryDirectory);

std::uint64_t vTailleFichier(const std::string& path);
// Characters of the first line + 2, or 0 when the file does not exist. A
// file without any line is an error naming it.
std::int16_t iLongueurLigne(const std::string& path);
// Estimated line count: size / record length rounded half to even, 0 for a
// missing file; warns when the record is shorter than `minimum`. An empty
// file is iLongueurLigne's error.
std::int32_t lVerifierLongueur(Trace& trace, const std::string& path, int minimum);
// Echoes the first line of origine.txt to the trace.
void LireOrigine(Trace& trace, const std::string& originPath);

bool fileExists(const std::string& path);
std::string fileName(const std::string& path);
std::string parentDirectory(const std::string& path);

// Reads an interchange file line by line as UTF-8 text: lines end at LF, the
// CRs before it are dropped, and each line is decoded in its own encoding
// (lineEncoding): a UTF-8 line as it is, without the byte-order mark of a
// first line; any other from Windows-1252, after the DOS accented letters
// have been converted when asked. A line made only of the DOS end-of-file
// mark (Ctrl+Z) ends the file, as it did for DOS.
class LineReader {
public:
    // Opens the file; a file that cannot be opened is a "file not found" error.
    // With a trace, the lines read are noted there as the current step's.
    explicit LineReader(const std::string& path, Trace* trace = nullptr);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // False at the end of the file.
    bool next(std::string& line, bool convertDosAccents);
    // Whether the line just read can be taken as text: a line holding a
    // control character (no field may hold one) is refused whole.
    bool isText() const { return problem_.empty(); }
    // The message that refuses such a line, naming the character and where it stands.
    std::string refusal() const;
    // For the readers whose bad line stops the step: the refusal as an error
    // naming the file and the line.
    void requireText() const;
    // The encodings of the lines read so far.
    const FileEncodings& encodings() const { return encodings_; }

private:
    std::string path_;
    std::FILE* file_;
    Trace* trace_;
    long lineNumber_ = 0;
    std::string problem_;
    FileEncodings encodings_;
    // The bytes read ahead: those from begin_ to end_ are not yet given out.
    std::vector<char> buffer_;
    std::size_t begin_ = 0, end_ = 0;
    bool ended_ = false;

    // The next line's bytes with its '\n' (none at the end of the file); false after the last.
    bool nextRawLine(std::string_view& raw);
};

}  // namespace couloir
