#include "shared/duplicate_swimmers.h"

#include <algorithm>
#include <map>
#include <numeric>

#include "shared/club_import.h"
#include "shared/cp1252.h"
#include "shared/database.h"
#include "shared/text_date.h"

namespace couloir {
namespace {

// The plain capitals of a Windows-1252 letter ("É" -> "E", "Œ" -> "OE"), a
// space for a separator of name parts, nothing for anything else.
std::string_view plainLetter(unsigned char byte) {
    static const auto table = [] {
        std::array<std::string_view, 256> t{};
        static const char* letters[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
                                        "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z"};
        static const char* digits[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
        for (int c = 0; c < 26; ++c) t['A' + c] = t['a' + c] = letters[c];
        for (int c = 0; c < 10; ++c) t['0' + c] = digits[c];
        t[' '] = t['-'] = t['\''] = t[0x92] = " ";
        // Windows-1252's letters with a mark, upper and lower case.
        const std::pair<const char*, const char*> marked[] = {
            {"\xC0\xC1\xC2\xC3\xC4\xC5\xE0\xE1\xE2\xE3\xE4\xE5", "A"}, {"\xC6\xE6", "AE"}, {"\xC7\xE7", "C"},
            {"\xC8\xC9\xCA\xCB\xE8\xE9\xEA\xEB", "E"}, {"\xCC\xCD\xCE\xCF\xEC\xED\xEE\xEF", "I"}, {"\xD0\xF0", "D"},
            {"\xD1\xF1", "N"}, {"\xD2\xD3\xD4\xD5\xD6\xD8\xF2\xF3\xF4\xF5\xF6\xF8", "O"}, {"\x8C\x9C", "OE"},
            {"\xD9\xDA\xDB\xDC\xF9\xFA\xFB\xFC", "U"}, {"\xDD\xFD\xFF\x9F", "Y"}, {"\xDF", "SS"},
            {"\x8A\x9A", "S"}, {"\x8E\x9E", "Z"}, {"\xDE\xFE", "TH"}};
        for (const auto& [bytes, plain] : marked)
            for (const char* b = bytes; *b; ++b) t[static_cast<unsigned char>(*b)] = plain;
        return t;
    }();
    return table[byte];
}

std::vector<std::string> nameParts(std::string_view plain) { return split(plain, ' '); }

// Whether the parts of one surname are some of the other's ("MARTIN" and "MARTIN DUPONT").
bool differByAPart(std::string_view a, std::string_view b) {
    auto shorter = nameParts(a), longer = nameParts(b);
    if (shorter.size() > longer.size()) std::swap(shorter, longer);
    if (shorter.size() == longer.size()) return false;
    for (const auto& part : shorter)
        if (std::find(longer.begin(), longer.end(), part) == longer.end()) return false;
    return true;
}

// Whether one insertion, deletion or substitution turns a into b.
bool oneEditApart(std::string_view a, std::string_view b) {
    if (a.size() > b.size()) std::swap(a, b);
    if (b.size() - a.size() > 1) return false;
    std::size_t start = 0;
    while (start < a.size() && a[start] == b[start]) ++start;
    if (start == a.size()) return b.size() == a.size() + 1;
    if (a.size() == b.size()) return a.substr(start + 1) == b.substr(start + 1);
    return a.substr(start) == b.substr(start + 1);
}

bool sexesAgree(const StoredSwimmer& a, const StoredSwimmer& b) {
    std::string_view x = trim(a.sex), y = trim(b.sex);
    return x.empty() || y.empty() || identityKey(x) == identityKey(y);
}

// Union-find over the swimmers' indexes.
struct Sets {
    std::vector<std::size_t> parent;
    explicit Sets(std::size_t n) : parent(n) { std::iota(parent.begin(), parent.end(), 0); }
    std::size_t root(std::size_t i) {
        while (parent[i] != i) i = parent[i] = parent[parent[i]];
        return i;
    }
};

}  // namespace

// The names of each confidence, in the enumeration's order: the report's key, the French word.
constexpr std::pair<const char*, const char*> kConfidenceNames[] = {
    {"possible", "possible"}, {"high", "forte"}, {"certain", "certaine"}};

const char* confidenceName(DuplicateConfidence confidence) {
    return kConfidenceNames[static_cast<int>(confidence)].second;
}

const char* confidenceKey(DuplicateConfidence confidence) {
    return kConfidenceNames[static_cast<int>(confidence)].first;
}

std::string plainName(std::string_view name) {
    std::string plain;
    for (char byte : encodeCp1252(name)) {
        std::string_view letter = plainLetter(static_cast<unsigned char>(byte));
        if (letter == " ") {
            if (!plain.empty() && plain.back() != ' ') plain += ' ';
        } else {
            plain += letter;
        }
    }
    if (!plain.empty() && plain.back() == ' ') plain.pop_back();
    return plain;
}

std::string identityKey(std::string_view name) {
    std::string key = plainName(name);
    std::erase(key, ' ');
    return key;
}

DuplicateFinder::Keys DuplicateFinder::keysOf(const StoredSwimmer& swimmer) {
    Keys keys;
    keys.surname = plainName(swimmer.surname);
    keys.surnameKey = keys.surname;
    std::erase(keys.surnameKey, ' ');
    std::string first = identityKey(swimmer.firstName);
    std::string_view birth = trim(swimmer.birthDate);
    if (first.empty() || birth.empty()) return keys;
    keys.firstAndBirth = first + '|' + std::string(birth);
    if (!keys.surnameKey.empty()) keys.identity = keys.surnameKey + '|' + keys.firstAndBirth;
    return keys;
}

DuplicateFinder::DuplicateFinder(std::vector<StoredSwimmer> swimmers) : swimmers_(std::move(swimmers)) {
    keys_.reserve(swimmers_.size());
    for (std::size_t i = 0; i < swimmers_.size(); ++i) {
        const Keys& keys = keys_.emplace_back(keysOf(swimmers_[i]));
        if (std::string_view code = trim(swimmers_[i].uniqueCode); !code.empty()) byCode_[std::string(code)].push_back(i);
        if (!keys.identity.empty()) byIdentity_[keys.identity].push_back(i);
        if (!keys.firstAndBirth.empty()) byFirstNameAndBirth_[keys.firstAndBirth].push_back(i);
    }
}

void DuplicateFinder::linkWith(const StoredSwimmer& swimmer, const Keys& keys, std::size_t self,
                               std::vector<DuplicateLink>& links) const {
    // The strongest evidence for each other swimmer.
    std::map<std::size_t, DuplicateLink> found;
    auto add = [&](std::size_t other, DuplicateConfidence confidence, std::string evidence) {
        if (other == self || swimmers_[other].num == swimmer.num) return;
        auto [at, fresh] = found.try_emplace(other, DuplicateLink{self, other, confidence, std::move(evidence)});
        if (!fresh && at->second.confidence < confidence) at->second = DuplicateLink{self, other, confidence, evidence};
    };
    if (std::string_view code = trim(swimmer.uniqueCode); !code.empty())
        if (auto same = byCode_.find(std::string(code)); same != byCode_.end())
            for (std::size_t other : same->second)
                add(other, DuplicateConfidence::Certain, "même code unique " + std::string(code));
    if (!keys.identity.empty())
        if (auto same = byIdentity_.find(keys.identity); same != byIdentity_.end())
            for (std::size_t other : same->second)
                add(other, DuplicateConfidence::High, "mêmes nom, prénom et date de naissance");
    if (!keys.firstAndBirth.empty())
        if (auto same = byFirstNameAndBirth_.find(keys.firstAndBirth); same != byFirstNameAndBirth_.end())
            for (std::size_t other : same->second) {
                const Keys& theirs = keys_[other];
                if (keys.surnameKey == theirs.surnameKey || !sexesAgree(swimmer, swimmers_[other])) continue;
                if (differByAPart(keys.surname, theirs.surname) || oneEditApart(keys.surnameKey, theirs.surnameKey))
                    add(other, DuplicateConfidence::Possible,
                        "mêmes prénom et date de naissance, noms proches (" + keys.surname + " / " + theirs.surname +
                            ")");
            }
    for (auto& [other, link] : found) links.push_back(std::move(link));
}

std::vector<DuplicateLink> DuplicateFinder::linksOf(const StoredSwimmer& candidate) const {
    std::vector<DuplicateLink> links;
    linkWith(candidate, keysOf(candidate), swimmers_.size(), links);
    return links;
}

std::vector<DuplicateGroup> DuplicateFinder::groups() const {
    std::vector<DuplicateLink> links;
    for (std::size_t i = 0; i < swimmers_.size(); ++i) {
        std::vector<DuplicateLink> mine;
        linkWith(swimmers_[i], keys_[i], i, mine);
        for (auto& link : mine)
            if (link.second > i) links.push_back(std::move(link));
    }
    Sets sets(swimmers_.size());
    for (const auto& link : links) sets.parent[sets.root(link.first)] = sets.root(link.second);

    std::map<std::size_t, DuplicateGroup> byRoot;
    for (auto& link : links) {
        DuplicateGroup& group = byRoot[sets.root(link.first)];
        group.confidence = std::max(group.confidence, link.confidence);
        for (std::size_t member : {link.first, link.second})
            if (std::find(group.members.begin(), group.members.end(), member) == group.members.end())
                group.members.push_back(member);
        group.links.push_back(std::move(link));
    }
    std::vector<DuplicateGroup> groups;
    for (auto& [root, group] : byRoot) {
        std::sort(group.members.begin(), group.members.end(),
                  [&](std::size_t a, std::size_t b) { return swimmers_[a].num < swimmers_[b].num; });
        groups.push_back(std::move(group));
    }
    std::stable_sort(groups.begin(), groups.end(), [&](const DuplicateGroup& a, const DuplicateGroup& b) {
        if (a.confidence != b.confidence) return a.confidence > b.confidence;
        return swimmers_[a.members.front()].num < swimmers_[b.members.front()].num;
    });
    return groups;
}

std::vector<StoredSwimmer> storedSwimmers(Database& db) {
    std::vector<StoredSwimmer> swimmers;
    Statement query("select Num, Code_Club, Licence, Nom, Prenom, Sexe, Date_Naissance, Code_unique from Licence"
                    " where Nom <> ");
    query.text(kPlaceholderLabel).sql(" order by Num");
    db.forEachRow(query, [&](const Row& row) {
        swimmers.push_back(StoredSwimmer{std::stoll(row.text(0)), row.text(1), row.text(2), row.text(3), row.text(4),
                                         row.text(5), row.text(6), row.text(7)});
        return true;
    });
    return swimmers;
}

}  // namespace couloir
