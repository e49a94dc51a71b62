#include "meet_generator.h"

#include <algorithm>
#include <array>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "random.h"
#include "interchange_file.h"
#include "records.h"
#include "reference_data.h"

namespace couloir::bench {
namespace {

const std::string kCompetition = "001";
const std::array<std::string, 2> kDays = {"28112026", "29112026"};
constexpr int kLanes = 8;
constexpr int kRelayShare = 25;  // one result line in 25 is a relay

constexpr const char* kSurnames[] = {
    "Martin", "Bernard", "Dubois", "Thomas", "Robert", "Richard", "Petit", "Durand", "Leroy", "Moreau",
    "Simon", "Laurent", "Lefèvre", "Michel", "Garcia", "Bertrand", "Roux", "Fournier", "Girard", "André",
    "Mercier", "Dupont", "Lambert", "Bonnet", "François", "Guérin", "Muller", "Perrin", "Clément", "Hébert",
    "D'Almeida", "N'Diaye", "L'Hermite", "Le Goff", "Prévost", "Carré", "Noël", "Béranger", "Côté", "Faure"};
constexpr const char* kWomen[] = {"Léa", "Chloé", "Manon", "Emma", "Inès", "Jade", "Zoé", "Anaïs",
                                  "Maëlys", "Hélène", "Noémie", "Agathe", "Lucie", "Margaux"};
constexpr const char* kMen[] = {"Lucas", "Hugo", "Théo", "Nathan", "Louis", "Jules", "Noé", "Raphaël",
                                "Loïc", "Benoît", "François", "Jérôme", "Gaëtan", "Maxime"};
constexpr const char* kTowns[] = {"PARIS", "LYON", "RENNES", "NICE", "LILLE", "METZ", "ORLEANS", "BORDEAUX"};


struct Swimmer {
    std::string club, licence;
    char sex;
    int birthYear;
};

struct Relay {
    const Event* event;
    std::string club, licence;
    int team;
    std::vector<const Swimmer*> legs;
};

struct Swim {
    const Event* event;
    const Swimmer* swimmer;  // null for a relay
    const Relay* relay;
};


std::string date(int day, int month, int year) { return twoDigits(day) + twoDigits(month) + std::to_string(year); }

// A swim time in hundredths: a pace per 50 m, slower for breaststroke and
// long distances.
std::int64_t swimTime(const Event& event, Random& random) {
    int legs = event.distance / 50 * event.swimmers;
    std::int64_t pace = random.between(2800, 4200);
    int stroke = event.code % 50;
    if (stroke >= 21 && stroke <= 23) pace = pace * 110 / 100;
    if (event.distance >= 400) pace = pace * 108 / 100;
    return pace * legs;
}

class MeetGenerator {
public:
    MeetGenerator(const MeetSize& size, std::uint64_t seed) : size_(size), random_(seed) {
        // Clubs of at least 16 swimmers (or one club of 8 or more) can field
        // four women and four men.
        if (size.licences < 8 || size.results < 0 || size.swimmersPerClub < 16)
            throw std::invalid_argument("meet size: at least 8 licences and 16 swimmers per club");
        clubs_ = std::max(1, size.licences / size.swimmersPerClub);
        if (clubs_ > clubCodeCount()) throw std::invalid_argument("meet size: too many clubs");
        makeSwimmers();
        makeRelays();
        makeSwims();
    }

    MeetCounts write(const std::filesystem::path& folder) {
        std::filesystem::create_directories(folder);
        writeHeader(folder);
        writeProgramme(folder);
        writeCategories(folder);
        writeClubs(folder);
        writeLicences(folder);
        writeRelays(folder);
        writeResults(folder);
        int entries = writeEntries(folder);
        return {clubs_, static_cast<int>(swimmers_.size()), static_cast<int>(relays_.size()),
                static_cast<int>(swims_.size()), entries};
    }

private:
    // Swimmers go to the clubs in turn, women and men alternately, so that
    // every club has as many of each. A licence number begins with the two
    // digits of the birth year.
    void makeSwimmers() {
        std::map<std::pair<int, int>, int> serials;  // (club, birth year) -> last number given
        for (int i = 0; i < size_.licences; ++i) {
            int club = i % clubs_;
            char sex = (i / clubs_) % 2 == 0 ? 'F' : 'M';
            int year = random_.between(0, 9) < 7 ? random_.between(2005, 2015) : random_.between(1960, 2004);
            int serial = ++serials[{club, year}];
            if (serial > 999) throw std::invalid_argument("meet size: too many swimmers of one year in a club");
            std::string licence = twoDigits(year % 100) + std::to_string(1000 + serial).substr(1) +
                                  static_cast<char>('A' + random_.between(0, 9));
            swimmers_.push_back({clubCode(club), licence, sex, year});
        }
        for (const Swimmer& s : swimmers_) (s.sex == 'F' ? women_ : men_)[s.club].push_back(&s);
    }

    // One relay line in kRelayShare; the relay events of four swimmers in
    // turn, each club fielding team 1, then team 2, and so on.
    void makeRelays() {
        std::vector<const Event*> events;
        for (const Event& e : allEvents())
            if (e.swimmers == 4) events.push_back(&e);
        int count = size_.results / kRelayShare;
        for (int i = 0; i < count; ++i) {
            const Event* event = events[i % events.size()];
            int slot = i / static_cast<int>(events.size());
            std::string club = clubCode(slot % clubs_);
            int team = slot / clubs_ + 1;
            if (team > 999) throw std::invalid_argument("meet size: too many relay teams for the clubs");
            auto& women = women_[club];
            auto& men = men_[club];
            std::vector<const Swimmer*> legs;
            for (int leg = 0; leg < 4; ++leg) {
                bool woman = event->sex == 'F' || (event->sex == 'X' && leg % 2 == team % 2);
                auto& pool = woman ? women : men;
                int rank = event->sex == 'X' ? (team - 1) * 2 + leg / 2 : (team - 1) * 4 + leg;
                legs.push_back(pool[rank % pool.size()]);
            }
            std::string prefix = event->sex == 'M' ? "R1" : event->sex == 'F' ? "R2" : "R3";
            relays_.push_back({event, club, prefix + std::to_string(1000 + team).substr(1) + "F", team, legs});
        }
    }

    // The individual lines go to the swimmers in turn, each swimmer taking
    // events of his sex he has not swum yet; then the lines are put in
    // programme order.
    void makeSwims() {
        std::map<char, std::vector<const Event*>> individual;
        for (const Event& e : allEvents()) {
            if (e.swimmers == 1) individual[e.sex].push_back(&e);
            programme_.push_back(&e);
        }
        int lines = size_.results - static_cast<int>(relays_.size());
        for (int k = 0; k < lines; ++k) {
            std::size_t index = static_cast<std::size_t>(k) % swimmers_.size();
            const Swimmer& swimmer = swimmers_[index];
            const auto& own = individual[swimmer.sex];
            std::size_t round = static_cast<std::size_t>(k) / swimmers_.size();
            if (round >= own.size()) throw std::invalid_argument("meet size: more results than events per swimmer");
            swims_.push_back({own[(round + index * 7) % own.size()], &swimmer, nullptr});
        }
        for (const Relay& relay : relays_) swims_.push_back({relay.event, nullptr, &relay});
        std::stable_sort(swims_.begin(), swims_.end(),
                         [](const Swim& a, const Swim& b) { return a.event->code < b.event->code; });
    }

    void writeHeader(const std::filesystem::path& folder) {
        InterchangeFile origin(folder / "origine.txt");
        origin.write("Générateur de charge Couloir");
        origin.close();
        InterchangeFile header(folder / "rcomp.txt");
        header.write(format(CompetitionRecord{kCompetition, "C", "Meeting de charge", kDays[0], kDays[1],
                                              "Stade nautique de l'Est", "50", "10", "QQRA"}));
        header.close();
    }

    void writeProgramme(const std::filesystem::path& folder) {
        InterchangeFile file(folder / "pcomp.txt");
        int order = 0;
        for (const Event* e : programme_) {
            ++order;
            file.write(format(ProgrammeRecord{kCompetition, e->code, kDays[order % 2], e->swimmers > 1, 1, 0, "", order}));
        }
        file.close();
    }

    void writeCategories(const std::filesystem::path& folder) {
        InterchangeFile file(folder / "categori.txt");
        const CategoryRecord categories[] = {{1, 2013, 2015, "Benjamins"}, {2, 2011, 2012, "Minimes"},
                                             {3, 2009, 2010, "Cadets"},    {4, 2007, 2008, "Juniors"},
                                             {5, 1992, 2006, "Seniors"},   {6, 1940, 1991, "Maîtres d'âge 25+"}};
        for (const auto& category : categories) file.write(format(category));
        file.close();
    }

    void writeClubs(const std::filesystem::path& folder) {
        InterchangeFile file(folder / "club.txt");
        for (int club = 0; club < clubs_; ++club) {
            std::string label = (club % 3 == 0 ? "L'Avenir Nautique n° " : "Cercle des Nageurs n° ") + std::to_string(club + 1);
            file.write(format(ClubRecord{clubCode(club), label}));
        }
        file.close();
    }

    // Each club's swimmers, then its relay pseudo-licences, as the
    // competition software lists them.
    void writeLicences(const std::filesystem::path& folder) {
        InterchangeFile file(folder / "licence.txt");
        std::map<std::string, std::vector<const Swimmer*>> byClub;
        for (const Swimmer& s : swimmers_) byClub[s.club].push_back(&s);
        std::map<std::string, std::map<std::string, char>> teams;  // club -> pseudo-licence -> sex
        for (const Relay& relay : relays_) teams[relay.club][relay.licence] = relay.event->sex;
        for (const auto& [club, members] : byClub) {
            for (const Swimmer* s : members) file.write(format(licenceOf(*s)));
            for (const auto& [licence, sex] : teams[club]) {
                LicenceRecord r;
                r.club = club;
                r.licence = licence;
                r.surname = "RELAIS";
                r.firstName = sex == 'F' ? "Dames" : sex == 'M' ? "Messieurs" : "Mixte";
                r.sex = sex == 'X' ? "" : std::string(1, sex);
                r.flags = "O";
                r.deposit = r.validation = "16092026";
                r.type = "R";
                r.nature = "N";
                file.write(format(r));
            }
        }
        file.close();
    }

    LicenceRecord licenceOf(const Swimmer& s) {
        LicenceRecord r;
        r.club = s.club;
        r.licence = s.licence;
        r.surname = random_.pick(kSurnames);
        r.firstName = s.sex == 'F' ? random_.pick(kWomen) : random_.pick(kMen);
        r.sex = std::string(1, s.sex);
        r.birth = date(random_.between(1, 28), random_.between(1, 12), s.birthYear);
        r.nationality = "FRA";
        r.address = std::to_string(random_.between(1, 150)) + " rue de l'Eglise";
        r.postcode = std::to_string(random_.between(10000, 95999));
        r.town = random_.pick(kTowns);
        r.phone = "01 23 45 67 " + twoDigits(random_.between(0, 99));
        r.flags = s.birthYear <= 2001 ? "ONNNNO" : "ONNNNN";
        r.deposit = r.validation = date(random_.between(16, 30), 9, 2026);
        r.type = "C";
        r.nature = random_.between(0, 1) ? "R" : "N";
        r.uniqueCode = std::to_string(random_.between(1000000, 9999999));
        return r;
    }

    void writeRelays(const std::filesystem::path& folder) {
        InterchangeFile file(folder / "relais.txt");
        for (const Relay& relay : relays_) {
            RelayRecord r{kCompetition, relay.event->code, relay.club, relay.licence, {}};
            for (const Swimmer* leg : relay.legs) r.relayers.push_back(leg->licence);
            file.write(format(r));
        }
        file.close();
    }

    // Heats of eight lanes in each event. Every swim carries its fourteen
    // split fields, so that the import does its full work on each line; a
    // few lines have no time or a status code, and one in three has no
    // points, which the points component then computes.
    void writeResults(const std::filesystem::path& folder) {
        InterchangeFile file(folder / "prres.txt");
        int code = -1, place = 0;
        for (std::size_t k = 0; k < swims_.size(); ++k) {
            const Swim& swim = swims_[k];
            if (swim.event->code != code) code = swim.event->code, place = 0;
            ResultRecord r;
            r.competition = kCompetition;
            r.event = code;
            r.heat = place / kLanes % 99 + 1;
            r.lane = place % kLanes + 1;
            ++place;
            r.club = swim.relay ? swim.relay->club : swim.swimmer->club;
            r.licence = swim.relay ? swim.relay->licence : swim.swimmer->licence;
            std::int64_t time = swimTime(*swim.event, random_);
            times_.push_back(time);
            if (k % 97 == 0) {
                results_.push_back(r);
                continue;  // no time, no splits, no points
            }
            for (int split = 1; split <= 14; ++split) r.splits[split - 1] = msscc(time * (15 - split) / 15);
            r.time = k % 101 == 0 ? msscc(92 * 6000) : msscc(time);
            if (k % 3 != 0) r.points = std::to_string(10000 + random_.between(300, 950)).substr(1);
            results_.push_back(r);
        }
        for (const ResultRecord& r : results_) file.write(format(r));
        file.close();
    }

    // One entry per swim, with its team number: the relay teams, and team 1
    // for the swimmers of one club in five; men's teams are written + 50.
    int writeEntries(const std::filesystem::path& folder) {
        InterchangeFile file(folder / "engag.txt");
        for (std::size_t k = 0; k < swims_.size(); ++k) {
            const Swim& swim = swims_[k];
            EntryRecord r{kCompetition, swim.event->code, results_[k].club, results_[k].licence,
                          msscc(times_[k] * 102 / 100, 1), "", "", "", ""};
            char sex = swim.relay ? swim.event->sex : swim.swimmer->sex;
            int team = swim.relay ? swim.relay->team : (std::stoi(r.club.substr(9)) % 5 == 0 ? 1 : 0);
            if (team > 0 && team < 50 && sex != 'X') r.team = std::to_string(sex == 'M' ? team + 50 : team);
            if (!swim.relay && sex == 'F' && team > 0 && team < 10) r.team = " " + r.team;  // as entries are written
            if (!swim.relay) {
                r.date = date(random_.between(1, 28), random_.between(1, 10), 2026);
                r.place = random_.pick(kTowns);
                r.pool = random_.between(0, 1) ? "50" : "25";
            }
            file.write(format(r));
        }
        file.close();
        return static_cast<int>(file.lines());
    }

    MeetSize size_;
    Random random_;
    int clubs_ = 0;
    std::vector<Swimmer> swimmers_;
    std::map<std::string, std::vector<const Swimmer*>> women_, men_;
    std::vector<Relay> relays_;
    std::vector<const Event*> programme_;
    std::vector<Swim> swims_;
    std::vector<std::int64_t> times_;       // by swim
    std::vector<ResultRecord> results_;     // by swim
};

}  // namespace

MeetCounts generateMeet(const std::filesystem::path& folder, const MeetSize& size, std::uint64_t seed) {
    return MeetGenerator(size, seed).write(folder);
}

}  // namespace couloir::bench
