#include "shared/licence_import.h"

#include <array>
#include <cstdio>
#include <optional>
#include <unordered_map>
#include <vector>

#include "shared/club_import.h"
#include "shared/duplicate_swimmers.h"
#include "shared/error.h"
#include "shared/files.h"
#include "shared/licence_record.h"

namespace couloir {

const LicenceImportPolicy kLicencesForResults{.stopAtFirstError = true,
                                              .memory = SwimmerMemory::AgeAtCompetition,
                                              .reuseReport = ReuseReport::NumberedLine};
const LicenceImportPolicy kLicencesForPerformances{.stopAtFirstError = false,
                                                   .memory = SwimmerMemory::BirthDate,
                                                   .reuseReport = ReuseReport::WarningEntry};
const LicenceImportPolicy kLicencesForLicences{.stopAtFirstError = false,
                                               .memory = SwimmerMemory::KeyOnly,
                                               .reuseReport = ReuseReport::WarningEntry};

bool bInsererSelection(Database& db, const std::string& code, const std::string& num, std::string& message) {
    try {
        db.execute(Statement::insert("INSERT INTO", "Selection")
                       .sql(" (Code_Sel, Num_Lic) VALUES (")
                       .text(code)
                       .sql(", ")
                       .number(num)
                       .sql(");")
                       .readsOnly("Selection"));
        return true;
    } catch (...) {
        Error e = caughtError();
        message = strTexteErreur(e);
        return false;
    }
}

namespace {

const std::string kNl(CRLF);

// The column of Licence that each field of a licence.txt line fills; the
// selection origin (field 23) is not stored.
constexpr std::array<const char*, kLicenceFieldCount> kLicenceColumns = {
    "Code_club",   "licence",  "Nom",      "Prenom",     "sexe",          "Date_Naissance",
    "Nationalite", "Adresse",  "Suite_adresse", "Code_Postal", "Localite", "Telephone",
    "Sportive",    "Synchro",  "Water_Polo", "Plongeon",  "Dirigeant",     "Maitre",
    "Date_Depot",  "Date_obliteration", "Type_licence", "Nature", nullptr, "Code_unique"};

// A licence.txt record with its CR LF, in bytes.
constexpr std::uint64_t kRecordBytes = 250;

struct LicenceCounts {
    long lines = 0, created = 0, known = 0, relay = 0, errors = 0, clubsAdded = 0;
};


std::string storedKey(std::string_view code, std::string_view licence) {
    return toUpperAscii(code) + '\n' + toUpperAscii(licence);
}

constexpr char kPackSeparator = '\x1F';

// The values of a stored swimmer after his code and licence, in one text;
// empty when one is Null or holds the separator, for a query to read them
// as the database gives them.
std::string packStored(const Row& row) {
    std::string packed;
    for (int i = 2; i < row.fieldCount(); ++i) {
        if (row.isNull(i)) return {};
        std::string value = row.text(i);
        if (value.find(kPackSeparator) != std::string::npos) return {};
        if (i > 2) packed += kPackSeparator;
        packed += value;
    }
    return packed;
}

Columns unpackStored(std::string_view packed) {
    Columns columns;
    for (auto& value : split(packed, kPackSeparator)) columns.lists.push_back({std::move(value)});
    return columns;
}

// One licence.txt file being read.
class LicenceFile {
public:
    LicenceFile(Session& session, RunLists& lists, const LicenceImportPolicy& policy, std::optional<Date> start,
                std::uint64_t fileSize)
        : trace_(session.trace), db_(session.db()), lists_(lists), policy_(policy), start_(start),
          handled_(policy.memory == SwimmerMemory::KeyOnly ? lists.colLicencesVues : lists.colLicencesNum),
          columns_(policy.readsBirthDate() ? "Nom, Prenom, Num, Date_Naissance" : "Nom, Prenom, Num") {
        // A dry run tells which swimmers of the file look like a stored
        // swimmer of another row, before the import makes them two.
        if (session.form.dryRun()) lookalikes_.emplace(storedSwimmers(db_));
        // Reading every stored swimmer once costs about a quarter of a lookup
        // per row: for a file long next to the table (the federation's list),
        // it spares the lookup of every swimmer, new or known.
        std::uint64_t lines = fileSize / kRecordBytes;
        if (lines * 4 < static_cast<std::uint64_t>(db_.lValeurScalaire(Statement("select count(*) from Licence")))) return;
        stored_.emplace();
        db_.forEachRow(Statement("select Code_Club, Licence, ").sql(columns_).sql(" from Licence"), [this](const Row& row) {
            if (row.isNull(0) || row.isNull(1)) return true;
            stored_->emplace(storedKey(row.text(0), row.text(1)), packStored(row));  // the first row counts
            return true;
        });
    }

    LicenceCounts n;

    // Handles line number `lineNumber`; false when it is in error, with `message` set.
    bool handleLine(std::string_view line, long lineNumber, std::string& message);
    void writeSummary();

private:
    int saveClub(const std::string& code, std::string& message);
    bool bInsererLicence(std::vector<std::string>& fields, std::string& num);
    void reportReuse(const std::string& code, const std::string& licence, const Columns& stored,
                     std::string_view line);
    Columns storedSwimmer(std::string_view code, std::string_view licence);
    std::string secondValue(const std::string& licence, const std::string& birthDate);
    void remember(const std::string& key, const std::string& num, const std::string& second);
    void warnOfLookalikes(std::string_view line, const std::string& code, const std::string& licence,
                          const std::string& num);

    Trace& trace_;
    Database& db_;
    RunLists& lists_;
    const LicenceImportPolicy& policy_;
    std::optional<Date> start_;
    LookupList& handled_;
    std::optional<DuplicateFinder> lookalikes_;
    const std::string columns_;  // what is read of a stored swimmer
    // When read beforehand: every stored swimmer by club code and licence
    // number (in capitals, as the database compares them), with what is read
    // of him packed in one text; an empty text leaves it to a query.
    std::optional<std::unordered_map<std::string, std::string>> stored_;
    long line_ = 0;
};

// saveLineClub for the current line.
int LicenceFile::saveClub(const std::string& code, std::string& message) {
    return saveLineClub(trace_, db_, lists_.colClubsVus, code, line_, n.clubsAdded, message);
}

bool LicenceFile::handleLine(std::string_view line, long lineNumber, std::string& message) {
    line_ = lineNumber;
    std::string code(charSubstr(line, 0, 13)), licence(charSubstr(line, 13, 6));
    if (!licence.empty() && (licence[0] == 'R' || licence[0] == 'r')) {
        ++n.relay;
        return true;
    }

    std::string clubMessage;
    if (saveClub(code, clubMessage) == ClubResult::Failed) {
        message = "Code club (" + code + ") inconnu de la base. Echec de la création avec Le libelle " +
                  std::string(kPlaceholderLabel) + ".";
        return false;
    }

    // A selection entry names the member's own club and licence: he is
    // looked up under them when they hold.
    std::string selectionCode, selectionLicence;
    if (bEstSelection(code)) {
        selectionCode = code;
        selectionLicence = licence;
        SelectionOrigin origin = selectionOrigin(charSubstr(line, kOriginStart, kOriginWidth));
        if (!origin.licence.empty() && saveClub(origin.code, clubMessage) != ClubResult::Failed) {
            code = origin.code;
            licence = origin.licence;
        } else {
            trace_.EcrireLigneErreur(line_,
                                     "Enregistrement dans une sélection, mais information sur la licence origine "
                                     "(code club + licence) erronée.",
                                     "Warning");
        }
    }

    std::string key = code + licence;
    if (handled_.contains(key)) return true;

    Columns stored = storedSwimmer(trim(code), trim(licence));
    std::string num, birthDate;
    if (!stored.hasRows()) {
        std::vector<std::string> fields = DecouperLicence(line);
        if (!bInsererLicence(fields, num)) {
            message = "Echec lors de la mémorisation du nageur " + fields[kLicNom] + " " + fields[kLicPrenom] +
                      ", licence " + fields[kLicLicence] + ", Club " + fields[kLicClub] + "." + kNl;
            return false;
        }
        ++n.created;
        birthDate = fields[kLicNaissance];
    } else {
        ++n.known;
        num = stored.at(2, 0);
        if (policy_.readsBirthDate()) birthDate = stored.at(3, 0);
        if (!selectionCode.empty() &&
            db_.lValeurScalaire(Statement("select count(*) from Selection where Code_Sel = ")
                                    .text(selectionCode)
                                    .sql(" and Num_Lic = ")
                                    .number(num)
                                    .readsOnly("Selection")) == 0 &&
            !bInsererSelection(db_, selectionCode, num, message)) {
            message += kNl + "Problème lors de l'insertion dans la sélection.";
            return false;
        }
        reportReuse(code, licence, stored, line);
    }

    if (lookalikes_) warnOfLookalikes(line, std::string(trim(code)), std::string(trim(licence)), num);
    std::string second = secondValue(licence, birthDate);
    remember(key, num, second);
    // Either identity of a selection member finds him; the first member
    // entered under a selection licence keeps it.
    if (!selectionCode.empty() && code != selectionCode && !handled_.contains(selectionCode + selectionLicence))
        remember(selectionCode + selectionLicence, num, second);
    return true;
}

void LicenceFile::warnOfLookalikes(std::string_view line, const std::string& code, const std::string& licence,
                                   const std::string& num) {
    std::vector<std::string> fields = DecouperLicence(line);
    StoredSwimmer swimmer{std::stoll(num), code, licence, fields[kLicNom], fields[kLicPrenom],
                          fields[kLicSexe], fields[kLicNaissance], fields[kLicCodeUnique]};
    for (const DuplicateLink& link : lookalikes_->linksOf(swimmer)) {
        const StoredSwimmer& other = lookalikes_->swimmers()[link.second];
        trace_.EcrireLigneErreur(line_,
                                 "Le nageur " + swimmer.surname + " " + swimmer.firstName + " (club " + code +
                                     ", licence " + licence + ") ressemble au nageur n° " + std::to_string(other.num) +
                                     " de la base (" + other.surname + " " + other.firstName + ", club " + other.club +
                                     ", licence " + other.licence + ") : " + link.evidence + ", confiance " +
                                     confidenceName(link.confidence) + ". Voir couloir duplicates.",
                                 "Warning");
    }
}

bool LicenceFile::bInsererLicence(std::vector<std::string>& fields, std::string& num) {
    try {
        std::string selectionCode;
        if (bEstSelection(fields[kLicClub])) {
            selectionCode = fields[kLicClub];
            SelectionOrigin origin = selectionOrigin(fields[kLicOrigine]);
            if (!origin.licence.empty())
                fields[kLicLicence] = origin.licence;
            else
                trace_.EcrireErreur("Véritable numéro de licence introuvable, utilisation de celui de la sélection : " +
                                        fields[kLicLicence],
                                    line_);
            std::string clubMessage;
            int result = iSauverClub(db_, lists_.colClubsVus, origin.code, std::string(kPlaceholderLabel), clubMessage);
            if (result == ClubResult::Failed) {
                trace_.error("Une erreur s'est produite dans la fonction d'ajout de club." + kNl + clubMessage, line_);
                return false;
            }
            if (result == ClubResult::Created) {
                trace_.write("Création d'un club avec le code " + origin.code + " et libellé " +
                             std::string(kPlaceholderLabel));
                ++n.clubsAdded;
            }
            if (result != ClubResult::AlreadySeen) lists_.colClubsVus.add(origin.code, origin.code);
            fields[kLicClub] = origin.code;
        }

        // Every value, dates and flags included, is stored as a text.
        std::vector<std::pair<std::string, FieldValue>> row;
        row.reserve(kLicenceFieldCount);
        for (std::size_t i = 0; i < kLicenceFieldCount; ++i)
            if (kLicenceColumns[i]) row.emplace_back(kLicenceColumns[i], fields[i]);
        row.emplace_back("Date_suppr", std::string());
        num = std::to_string(db_.appendRow("Licence", row));
        if (stored_) stored_->emplace(storedKey(fields[kLicClub], fields[kLicLicence]), std::string());

        std::string selectionMessage;
        if (!selectionCode.empty() && !bInsererSelection(db_, selectionCode, num, selectionMessage))
            trace_.EcrireErreur("Problème lors de l'ajout du nageur dans la sélection." + kNl + selectionMessage, line_);
        return true;
    } catch (...) {
        Error e = caughtError();
        trace_.EcrireErreur("Une erreur s'est produite lors de l'ajout d'une licence.", line_, &e);
        return false;
    }
}

// The stored swimmer of a club code and licence number: no row when there is none.
Columns LicenceFile::storedSwimmer(std::string_view code, std::string_view licence) {
    if (stored_) {
        auto found = stored_->find(storedKey(code, licence));
        if (found == stored_->end()) return {};
        if (!found->second.empty()) return unpackStored(found->second);
    }
    return db_.ChargerColonnes(Statement("select ")
                                   .sql(columns_)
                                   .sql(" from Licence where Code_Club = ")
                                   .text(code)
                                   .sql(" and Licence = ")
                                   .text(licence));
}

// A stored swimmer is never changed; a name that differs from the file's
// (compared unfolded) is only reported.
void LicenceFile::reportReuse(const std::string& code, const std::string& licence, const Columns& stored,
                              std::string_view line) {
    std::string surname(trim(charSubstr(line, kSurnameStart, kSurnameWidth)));
    std::string firstName(trim(charSubstr(line, kFirstNameStart, kFirstNameWidth)));
    const std::string& storedSurname = stored.at(0, 0);
    const std::string& storedFirstName = stored.at(1, 0);
    if (storedSurname == surname && storedFirstName == firstName) return;

    std::string what = " (" + code + " + " + licence + ") déjà utilisée." + kNl + "Nom dans la base : " +
                       storedSurname + " " + storedFirstName + kNl;
    if (policy_.reuseReport == ReuseReport::NumberedLine)
        trace_.warning("Ligne n° " + std::to_string(line_) + ", licence" + what + "Nom dans le fichier : " + surname +
                           " " + firstName,
                       line_);
    else
        trace_.EcrireLigneErreur(line_, "Licence" + what + "Nom dans fichier : " + surname + " " + firstName,
                                 "Warning");
}

// The item the policy keeps besides the Num: the sporting age for the
// competition, or the date of birth checked against the licence number.
std::string LicenceFile::secondValue(const std::string& licence, const std::string& birthDate) {
    switch (policy_.memory) {
        case SwimmerMemory::AgeAtCompetition: {
            if (!start_) throw errors::invalidCall();
            std::string formatted = strDateLongue(birthDate);
            long age = int(start_->year()) - int(parseLongDate(formatted).year());
            if (age < 0) {
                trace_.EcrireLigneErreur(line_,
                                         "Calcul de l'age donne un résultat négatif" + kNl + "Date de naissance : " +
                                             formatted + kNl + "Date début compétition : " + shortDate(*start_),
                                         "Warning");
                age = 0;
            }
            return std::to_string(toInt16(age));
        }
        case SwimmerMemory::BirthDate: return birthDateFromLicence(licence, birthDate);
        case SwimmerMemory::KeyOnly: break;
    }
    return {};
}

void LicenceFile::remember(const std::string& key, const std::string& num, const std::string& second) {
    switch (policy_.memory) {
        case SwimmerMemory::AgeAtCompetition:
            lists_.colLicencesNum.add(key, num);
            lists_.colLicencesAge.add(key, second);
            break;
        case SwimmerMemory::BirthDate:
            lists_.colLicencesNum.add(key, num);
            lists_.colLicencesNaissance.add(key, second);
            break;
        case SwimmerMemory::KeyOnly: lists_.colLicencesVues.add(key, {}); break;
    }
}

void LicenceFile::writeSummary() {
    trace_.reportCount("lines", n.lines);
    trace_.EcrirePluriel(n.created, "created", kNl + "Récupération de " + std::to_string(n.created) + " licence<PLURIEL> sur " +
                                        std::to_string(n.lines) + ".");
    trace_.EcrirePluriel(n.known, "known", std::to_string(n.known) + " licence<PLURIEL> déjà connue<PLURIEL>.");
    trace_.EcrirePluriel(n.relay, "relay", std::to_string(n.relay) + " licence<PLURIEL> de type relais.");
    trace_.EcrirePluriel(n.errors, "errors", std::to_string(n.errors) + " entrée<PLURIEL> en erreur.");
    trace_.EcrirePluriel(n.clubsAdded, "clubs_added", std::to_string(n.clubsAdded) + " club<PLURIEL> ajouté<PLURIEL> avec le libellé " +
                                           std::string(kPlaceholderLabel) + ".");
    trace_.writeEmpty();
}

}  // namespace

bool ImporterLicences(Session& session, RunLists& lists, const std::string& path, double increment,
                      const LicenceImportPolicy& policy, std::optional<Date> competitionStart) {
    Trace& trace = session.trace;
    long lineNumber = 0;
    std::string message;
    try {
        LicenceFile file(session, lists, policy, competitionStart, vTailleFichier(path));
        LineReader reader(path, &trace);
        std::string line;
        while (reader.next(line, true)) {
            file.n.lines = ++lineNumber;  // also kept outside `file` for the handler
            message = reader.isText() ? std::string() : reader.refusal();
            if (!reader.isText() || !file.handleLine(line, lineNumber, message)) {
                trace.EcrireLigneErreur(lineNumber, message, "Erreur");
                if (policy.stopAtFirstError) {
                    trace.EcrireErreur("Import des licences interrompu.", lineNumber);
                    trace.writeEmpty();
                    return false;
                }
                ++file.n.errors;
            }
            AvancerProgression(session.form, increment);
        }
        file.writeSummary();
        return true;
    } catch (...) {
        Error e = caughtError();
        // The results import reports the line's own message first, as for a line in error.
        if (policy.stopAtFirstError) trace.EcrireLigneErreur(lineNumber, message, "Erreur");
        trace.EcrireErreur("Import des licences interrompu.", lineNumber, &e);
        trace.writeEmpty();
        return false;
    }
}

}  // namespace couloir
