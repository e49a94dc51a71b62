// Source directory checks, working copies of the interchange files, the
// record-length estimate, origine.txt, and a line reader for the files.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

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
// A copy of a file saved as UTF-8 is announced in the trace.
bool bFichierPresent(Trace& trace, std::string& path, const std::string& temporaryDirectory);
// The trace's warning that a file is read as UTF-8.
void EcrireLectureUtf8(Trace& trace, const std::string& path);
std::string strCopierVersTempo(const std::string& source, const std::string& temporaryDirectory);
std::string strNomTempoLibre(const std::string& source, const std::string& temporaryDirectory);

std::uint64_t vTailleFichier(const std::string& path);
// Characters of the first line + 2, or 0 when the file does not exist.
std::int16_t iLongueurLigne(const std::string& path);
// Estimated line count: size / record length rounded half to even, 0 for a
// missing or empty file; warns when the record is shorter than `minimum`.
std::int32_t lVerifierLongueur(Trace& trace, const std::string& path, int minimum);
// Echoes the first line of origine.txt to the trace.
void LireOrigine(Trace& trace, const std::string& originPath);

// Removes from `folder` every file named as one of `names`, whatever its
// case: what an earlier run left there, so that a run's files never stand
// beside another run's. A file that cannot be removed is an error naming it.
void removeEarlierFiles(const std::string& folder, const std::vector<std::string>& names);
// The same for a writing call: false, reported in the trace, when a file stays.
bool clearEarlierRun(Trace& trace, const std::string& folder, const std::vector<std::string>& names);

bool fileExists(const std::string& path);
std::string fileName(const std::string& path);
std::string parentDirectory(const std::string& path);

// Reads an interchange file line by line as UTF-8 text: lines end at LF, a
// CR before it is dropped, and the Windows-1252 bytes are decoded, after the
// DOS accented letters have been converted when asked. A file saved as UTF-8
// is read as it is, without its byte-order mark.
class LineReader {
public:
    // Opens the file; a file that cannot be opened is a "file not found" error.
    // With a trace, the lines read are noted there as the current step's.
    explicit LineReader(const std::string& path, Trace* trace = nullptr);
    // Whether the lines read so far came from a file saved as UTF-8. The
    // encoding is decided at the first line that is not plain ASCII (both
    // read ASCII alike), by looking at the rest of the file once.
    bool isUtf8() const { return encoding_ == Encoding::Utf8; }
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // False at the end of the file.
    bool next(std::string& line, bool convertDosAccents);

private:
    enum class Encoding { Undecided, Utf8, SingleByte };
    std::string path_;
    std::FILE* file_;
    Trace* trace_;
    Encoding encoding_ = Encoding::Undecided;
    long offset_ = 0;  // where the next line starts
    bool firstLine_ = true;
    char* buffer_ = nullptr;
    std::size_t capacity_ = 0;
};

}  // namespace couloir
