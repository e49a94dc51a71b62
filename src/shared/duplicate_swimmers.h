// Swimmers stored under two rows of Licence: the imports key a swimmer by
// club code and licence number, so a swimmer who changed clubs, or whose
// number was typed differently, gets a second row. The finder pairs rows
// that are likely one person, with the evidence and how sure it is.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace couloir {

class Database;

// From the weakest evidence to the strongest.
enum class DuplicateConfidence { Possible, High, Certain };
// "possible", "forte", "certaine".
const char* confidenceName(DuplicateConfidence confidence);
// "possible", "high", "certain": the report's words.
const char* confidenceKey(DuplicateConfidence confidence);

struct StoredSwimmer {
    std::int64_t num = 0;  // Licence.Num
    std::string club, licence, surname, firstName, sex, birthDate, uniqueCode;
};

// A name in plain capitals, its parts separated by one space: accents and
// case gone, hyphens and apostrophes made spaces ("Le Gall-Éloïse" gives
// "LE GALL ELOISE").
std::string plainName(std::string_view name);

// A name as compared: plainName without its spaces ("Le Gall-Éloïse" and
// "LEGALL ELOISE" give "LEGALLELOISE").
std::string identityKey(std::string_view name);

// Why two swimmers look like one person.
struct DuplicateLink {
    std::size_t first = 0, second = 0;  // indexes in the finder's swimmers
    DuplicateConfidence confidence = DuplicateConfidence::Possible;
    std::string evidence;               // French
};

// Swimmers linked by one or more pieces of evidence; its confidence is the
// strongest link's.
struct DuplicateGroup {
    std::vector<std::size_t> members;  // in the order of their numbers
    DuplicateConfidence confidence = DuplicateConfidence::Possible;
    std::vector<DuplicateLink> links;
};

class DuplicateFinder {
public:
    explicit DuplicateFinder(std::vector<StoredSwimmer> swimmers);

    const std::vector<StoredSwimmer>& swimmers() const { return swimmers_; }
    // Every group, the most certain first, then by their first number.
    std::vector<DuplicateGroup> groups() const;
    // The links a swimmer not stored yet (or stored under `candidate.num`)
    // would have with the stored ones; `first` is unused.
    std::vector<DuplicateLink> linksOf(const StoredSwimmer& candidate) const;

private:
    // What a swimmer is compared by, worked out once.
    struct Keys {
        std::string identity;        // surname, first name and birth date
        std::string firstAndBirth;   // first name and birth date
        std::string surname;         // in plain capitals, its parts apart
        std::string surnameKey;      // the same without spaces
    };
    static Keys keysOf(const StoredSwimmer& swimmer);
    void linkWith(const StoredSwimmer& swimmer, const Keys& keys, std::size_t self,
                  std::vector<DuplicateLink>& links) const;

    std::vector<StoredSwimmer> swimmers_;
    std::vector<Keys> keys_;  // of swimmers_, in the same order
    std::unordered_map<std::string, std::vector<std::size_t>> byCode_, byIdentity_, byFirstNameAndBirth_;
};

// The swimmers of Licence, the placeholder swimmer left out.
std::vector<StoredSwimmer> storedSwimmers(Database& db);

}  // namespace couloir
