#include "performance_generator.h"

#include <algorithm>
#include <cstdio>
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

// Surnames as the export writes them (stored folded), and a few in small
// letters as other software writes them, which the import folds.
constexpr const char* kSurnames[] = {
    "MARTIN", "BERNARD", "DUBOIS", "THOMAS", "ROBERT", "RICHARD", "PETIT", "DURAND", "LEROY", "MOREAU",
    "SIMON", "LAURENT", "LEFEVRE", "MICHEL", "GARCIA", "BERTRAND", "ROUX", "FOURNIER", "GIRARD", "ANDRE",
    "D'ALMEIDA", "N'DIAYE", "LE GOFF", "PREVOST", "NOEL", "Lefèvre", "Béranger", "Côté", "L'Hermite", "Faure"};
constexpr const char* kWomen[] = {"Léa", "Chloé", "Manon", "Emma", "Inès", "Jade", "Zoé", "Anaïs", "Maëlys", "Hélène"};
constexpr const char* kMen[] = {"Lucas", "Hugo", "Théo", "Nathan", "Louis", "Jules", "Noé", "Raphaël", "Loïc", "Benoît"};
constexpr const char* kPlaces[] = {"Paris Vallerey", "Lyon Vaise", "Rennes Bréquigny", "Chalon-sur-Saône",
                                   "Metz Lothaire", "L'Isle-Adam", "Nice Jean Bouin", "Bordeaux"};
constexpr const char* kCodifications[] = {"", "  R", "  RD", " IR", "QIRD", "   D"};

constexpr int kFirstSeason = 2023, kLastSeason = 2025;  // seasons from September to June


struct Swimmer {
    std::string licence, surname, firstName;
    char sex;
    int birthYear;
};

struct Club {
    std::string code, name;
    std::vector<Swimmer> swimmers;  // by licence number
};


// A day of a season, with the pool length usual in that month.
struct SwimDay {
    std::string date, pool;
    int season;
};
SwimDay swimDay(Random& random) {
    int season = random.between(kFirstSeason, kLastSeason);
    int month = random.between(1, 10);  // October to June, then July
    month = month <= 3 ? month + 9 : month - 3;
    int year = month >= 9 ? season : season + 1;
    std::string pool = month >= 11 || month <= 2 ? "25" : "50";
    return {twoDigits(random.between(1, 28)) + twoDigits(month) + std::to_string(year), pool, season};
}

std::string swimTime(const Event& event, Random& random) {
    std::int64_t pace = random.between(2700, 4300);  // hundredths per 50 m
    return msscc(pace * event.distance / 50 * event.swimmers, 1);
}

std::vector<Club> makeClubs(const PerformanceSize& size, Random& random) {
    int count = (size.swimmers + size.swimmersPerClub - 1) / size.swimmersPerClub;
    if (count > clubCodeCount()) throw std::invalid_argument("too many clubs");
    std::vector<Club> clubs(static_cast<std::size_t>(count));
    for (int c = 0; c < count; ++c) {
        Club& club = clubs[static_cast<std::size_t>(c)];
        club.code = clubCode(c);
        club.name = "Cercle des Nageurs " + std::to_string(100000 + c).substr(1);  // sorts like the index
        int members = std::min(size.swimmersPerClub, size.swimmers - c * size.swimmersPerClub);
        for (int i = 0; i < members; ++i) {
            char sex = i % 2 == 0 ? 'F' : 'M';
            int born = random.between(1960, 2014);
            std::string number = std::to_string(10000 + i).substr(1);
            club.swimmers.push_back({twoDigits(born % 100) + number, random.pick(kSurnames),
                                     sex == 'F' ? random.pick(kWomen) : random.pick(kMen), sex, born});
        }
        std::sort(club.swimmers.begin(), club.swimmers.end(),
                  [](const Swimmer& a, const Swimmer& b) { return a.licence < b.licence; });
    }
    return clubs;
}

LicenceRecord licenceRecord(const Club& club, const Swimmer& s, Random& random) {
    LicenceRecord r;
    r.club = club.code;
    r.licence = s.licence;
    r.surname = s.surname;
    r.firstName = s.firstName;
    r.sex = std::string(1, s.sex);
    r.birth = twoDigits(random.between(1, 28)) + twoDigits(random.between(1, 12)) + std::to_string(s.birthYear);
    r.nationality = "FRA";
    r.deposit = r.validation = std::string("1509") + std::to_string(kLastSeason);
    r.type = "N";
    r.nature = "N";
    r.originClub = club.code;
    r.originLicence = s.licence;
    return r;
}

// Splits `total` into `parts` shares differing by at most one.
int share(int total, int parts, int index) { return total / parts + (index < total % parts ? 1 : 0); }

class PerformanceWriter {
public:
    PerformanceWriter(const std::filesystem::path& path, Random& random) : file_(path), random_(random) {
        for (const Event& e : allEvents()) {
            if (e.swimmers == 1) (e.sex == 'F' ? women_ : men_).push_back(&e);
            else if (e.swimmers == 4) relays_.push_back(&e);
        }
    }

    void individual(const Club& club, const Swimmer& s, int count) {
        for (int i = 0; i < count; ++i) {
            const Event& event = *random_.pick(s.sex == 'F' ? women_ : men_);
            SwimDay day = swimDay(random_);
            PerformanceRecord r = common(club, event, day);
            r.licence = s.licence;
            r.surname = s.surname;
            r.firstName = s.firstName;
            r.licenceDate = licenceDate_;
            r.licenceType = licenceType_;
            bool freestyleSprint = event.code % 50 == 1 || event.code % 50 == 2;
            if (freestyleSprint && random_.percent(5)) r.leg.push_back('R');
            file_.write(format(r));
        }
    }

    // `count` relays of the club, ordered by event as the export orders them.
    void relays(const Club& club, int count) {
        std::vector<const Event*> events;
        for (int i = 0; i < count; ++i) events.push_back(random_.pick(relays_));
        std::sort(events.begin(), events.end(), [](const Event* a, const Event* b) { return a->code < b->code; });
        for (int i = 0; i < count; ++i) {
            const Event& event = *events[static_cast<std::size_t>(i)];
            SwimDay day = swimDay(random_);
            PerformanceRecord r = common(club, event, day);
            int team = i % 999 + 1;
            const char* prefix = event.sex == 'F' ? "R2" : event.sex == 'M' ? "R1" : "R3";
            const char* label = event.sex == 'F' ? "DAMES" : event.sex == 'M' ? "MESSIEURS" : "MIXTE";
            r.licence = std::string(prefix) + std::to_string(1000 + team).substr(1) + "F";
            r.surname = std::string("RELAIS ") + label + " N° " + std::to_string(team);
            r.licenceDate = std::string("1609") + std::to_string(day.season);
            r.licenceType = "R";
            r.relayers = relayers(club, event.sex);
            file_.write(format(r));
        }
    }

    void close() { file_.close(); }

private:
    PerformanceRecord common(const Club& club, const Event& event, const SwimDay& day) {
        PerformanceRecord r;
        r.event = event.code;
        r.club = club.code;
        r.pool = day.pool;
        r.date = day.date;
        r.time = swimTime(event, random_);
        r.place = random_.pick(kPlaces);
        r.clubName = club.name;
        r.codifications = random_.pick(kCodifications);
        return r;
    }

    // Four swimmers of the club of the relay's sex, two and two for a mixed one.
    std::vector<std::string> relayers(const Club& club, char sex) {
        std::vector<std::string> licences;
        for (int leg = 0; leg < 4; ++leg) {
            char wanted = sex == 'X' ? (leg < 2 ? 'F' : 'M') : sex;
            const Swimmer* s = nullptr;
            do s = &random_.pick(club.swimmers);
            while (s->sex != wanted);
            licences.push_back(s->licence);
        }
        return licences;
    }

    InterchangeFile file_;
    Random& random_;
    const std::string licenceDate_ = std::string("1509") + std::to_string(kLastSeason), licenceType_ = "N";
    std::vector<const Event*> women_, men_, relays_;
};

}  // namespace

PerformanceCounts generatePerformances(const std::filesystem::path& folder, const PerformanceSize& size,
                                       std::uint64_t seed) {
    if (size.swimmersPerClub < 8 || size.swimmers < size.swimmersPerClub || size.performances < 0 ||
        size.relayPercent < 0 || size.relayPercent > 100)
        throw std::invalid_argument("at least 8 swimmers per club, one club, and a relay share from 0 to 100");
    std::filesystem::create_directories(folder);
    Random random(seed);
    std::vector<Club> clubs = makeClubs(size, random);

    PerformanceCounts counts;
    counts.clubs = static_cast<int>(clubs.size());
    InterchangeFile origine(folder / "origine.txt");
    origine.write("Lorvantide");
    origine.close();
    InterchangeFile clubFile(folder / "club.txt");
    InterchangeFile licenceFile(folder / "licence.txt");
    for (const Club& club : clubs) {
        clubFile.write(format(ClubRecord{club.code, club.name}));
        for (const Swimmer& s : club.swimmers) licenceFile.write(format(licenceRecord(club, s, random)));
        counts.swimmers += static_cast<int>(club.swimmers.size());
    }
    clubFile.close();
    licenceFile.close();

    counts.relays = static_cast<int>(static_cast<std::int64_t>(size.performances) * size.relayPercent / 100);
    counts.individual = size.performances - counts.relays;
    PerformanceWriter liffn(folder / "liffn.txt", random);
    int swimmer = 0;
    for (const Club& club : clubs)
        for (const Swimmer& s : club.swimmers) liffn.individual(club, s, share(counts.individual, counts.swimmers, swimmer++));
    for (std::size_t c = 0; c < clubs.size(); ++c)
        liffn.relays(clubs[c], share(counts.relays, counts.clubs, static_cast<int>(c)));
    liffn.close();
    return counts;
}

}  // namespace couloir::bench
