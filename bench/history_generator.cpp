#include "history_generator.h"

#include <random>
#include <stdexcept>
#include <vector>

#include "random.h"
#include "reference_data.h"
#include "shared/database.h"
#include "shared/text_date.h"

namespace couloir::bench {
namespace {

constexpr const char* kSurnames[] = {"MARTIN", "BERNARD", "DUBOIS", "THOMAS", "ROBERT", "RICHARD", "PETIT",
                                     "DURAND", "LEROY", "MOREAU", "SIMON", "LAURENT", "LEFEBVRE", "MICHEL",
                                     "D'ARTAGNAN", "O'NEIL", "GARCIA", "DE LA FONTAINE-SAINT-MARTIN"};
constexpr const char* kWomen[] = {"Emma", "Léa", "Chloé", "Manon", "Inès", "Zoé", "Anaïs", "Hélène",
                                  "Marie-Bérénice-Alexandra", "Camille"};
constexpr const char* kMen[] = {"Lucas", "Hugo",  "Théo",   "Nathan", "Noé",
                                "Raphaël", "Loïc", "Maxime", "Gaëtan", "Jean-François-Xavier"};
constexpr const char* kPlaces[] = {"Paris", "Lyon", "Rennes", "Nice", "Chalon-sur-Saône", "L'Haÿ-les-Roses",
                                   "Aix-en-Provence", "Saint-Germain-en-Laye"};
constexpr const char* kClubWords[] = {"Cercle des Nageurs", "Club Nautique", "Dauphins", "Espadon",
                                      "Union Sportive", "Stade Nautique", "Nageurs d'Élite"};


struct Swimmer {
    std::int64_t num;
    char sex;
};

struct Club {
    std::string code;
    std::vector<Swimmer> swimmers;
};

std::string digits(int value, int width) {
    std::string text = std::to_string(value);
    return std::string(width > static_cast<int>(text.size()) ? width - text.size() : 0, '0') + text;
}

std::string randomDate(Random& random) {
    std::string year = std::to_string(random.between(2015, 2025));
    return year + digits(random.between(1, 12), 2) + digits(random.between(1, 28), 2);
}

// A time m.sscc for the event's distance.
std::string randomTime(int distance, int legs, Random& random) {
    int hundredths = random.between(2700, 4500) * distance / 50 * legs;
    return std::to_string(hundredths / 6000) + "." + digits(hundredths % 6000 / 100, 2) + digits(hundredths % 100, 2);
}

class HistoryGenerator {
public:
    HistoryGenerator(Database& db, const HistorySize& size, std::uint64_t seed) : db_(db), size_(size), random_(seed) {
        for (const Event& event : allEvents()) (event.swimmers == 1 ? individual_ : relays_).push_back(&event);
    }

    HistoryCounts run() {
        db_.begin(Database::Lock::Write);
        addClubsAndSwimmers();
        HistoryCounts counts;
        counts.clubs = static_cast<int>(clubs_.size());
        counts.swimmers = size_.swimmers;
        for (int i = 0; i < size_.performances; ++i) {
            if (random_.between(1, 100) <= size_.relayPercent) {
                addRelay();
                ++counts.relays;
            } else {
                addPerformance();
                ++counts.individual;
            }
        }
        db_.commit();
        return counts;
    }

private:
    void addClubsAndSwimmers() {
        int clubCount = (size_.swimmers + size_.swimmersPerClub - 1) / size_.swimmersPerClub;
        if (clubCount > clubCodeCount()) throw std::invalid_argument("too many clubs");
        for (int c = 0; c < clubCount; ++c) {
            clubs_.push_back({clubCode(c), {}});
            db_.execute(Statement::insert("INSERT INTO", "Club")
                            .sql(" (Code_federal, Intitule, Selection) VALUES (")
                            .text(clubs_[c].code)
                            .sql(", ")
                            .text(std::string(random_.pick(kClubWords)) + " " + std::to_string(c))
                            .sql(", false)"));
        }
        // The new swimmers' Num follow the largest one of the fresh database.
        std::int64_t num = db_.lValeurScalaire(Statement("SELECT max(Num) FROM Licence"));
        reference_ = db_.lValeurScalaire(Statement("SELECT Num FROM Licence WHERE Nom = 'Null'"));
        for (int s = 0; s < size_.swimmers; ++s) {
            Club& club = clubs_[static_cast<std::size_t>(s) % clubs_.size()];
            char sex = random_.between(0, 1) ? 'F' : 'M';
            int year = random_.between(1960, 2015);
            std::string licence = digits(year % 100, 2) + digits(static_cast<int>(club.swimmers.size()) + 1, 4);
            // Drawn in this order so that a seed gives the history it always gave.
            std::string firstName = sex == 'F' ? random_.pick(kWomen) : random_.pick(kMen);
            std::string surname = random_.pick(kSurnames);
            db_.execute(Statement::insert("INSERT INTO", "Licence")
                            .sql(" (Code_Club, Licence, Nom, Prenom, Sexe, Date_Naissance, Nationalite, Sportive, "
                                 "Synchro, Water_Polo, Plongeon, Dirigeant, Maitre, Date_Depot, Date_obliteration, "
                                 "Type_licence, Nature, Code_unique) VALUES (")
                            .text(club.code)
                            .sql(", ")
                            .text(licence)
                            .sql(", ")
                            .text(surname)
                            .sql(", ")
                            .text(firstName)
                            .sql(", ")
                            .text(std::string(1, sex))
                            .sql(", ")
                            .text(std::to_string(year) + "0101")
                            .sql(", 'FRA', 'O', 'N', 'N', 'N', 'N', 'N', '20240901', '20240915', 'R', 'N', ")
                            .text(digits(s, 10))
                            .sql(")"));
            club.swimmers.push_back({++num, sex});
        }
    }

    // The values a performance row starts with, from its event to its place (competition 1).
    static Statement& addFirstValues(Statement& insert, int event, const std::string& club, const std::string& date,
                                     std::int64_t swimmer, const std::string& time, const std::string& place) {
        return insert.number(event)
            .sql(", ")
            .text(club)
            .sql(", ")
            .text(date)
            .sql(", ")
            .number(swimmer)
            .sql(", ")
            .decimal(time)
            .sql(", 1, ")
            .text(place);
    }

    void addPerformance() {
        const Club& club = random_.pick(clubs_);
        const Swimmer& swimmer = random_.pick(club.swimmers);
        const Event* event;
        do event = random_.pick(individual_);
        while (event->sex != swimmer.sex);
        // Drawn in this order so that a seed gives the history it always gave.
        std::string relayLeg = random_.between(1, 20) == 1 ? "R" : "";
        int pool = random_.between(0, 1) ? 25 : 50;
        std::string place = random_.pick(kPlaces);
        std::string time = randomTime(event->distance, 1, random_);
        std::string date = randomDate(random_);
        Statement insert = Statement::insert("INSERT INTO", "Liffn");
        insert.sql(" (Code_epreuve, Code_club, Date_perf, Num_Lic, Tps, Num_compet, Lieu, Type_bassin, Codif_Fede, "
                   "Codif_Inter, Codif_Reg, Codif_Depart, Passage_relais) VALUES (");
        addFirstValues(insert, event->code, club.code, date, swimmer.num, time, place)
            .sql(", ")
            .number(pool)
            .sql(", 'R', 'A', 'D', '', ")
            .text(relayLeg)
            .sql(")");
        db_.execute(insert);
    }

    // A team of the club's swimmers; slots past the team's size hold the reference swimmer.
    void addRelay() {
        const Club& club = random_.pick(clubs_);
        const Event* event = random_.pick(relays_);
        // Drawn in this order so that a seed gives the history it always gave.
        std::vector<std::int64_t> slots;
        for (int slot = 0; slot < 10; ++slot)
            slots.push_back(slot < event->swimmers ? random_.pick(club.swimmers).num : reference_);
        std::string place = random_.pick(kPlaces);
        std::string time = randomTime(event->distance, event->swimmers, random_);
        int team = random_.between(1, 4);
        std::string date = randomDate(random_);
        Statement insert = Statement::insert("INSERT INTO", "Liffn_relais");
        insert.sql(" (Code_epreuve, Code_club, Date_perf, Num_Lic, Tps, Num_compet, Lieu, Type_bassin, Codif_Fede, "
                   "Codif_Inter, Codif_Reg, Codif_Depart, Licence1, Licence2, Licence3, Licence4, Licence5, Licence6, "
                   "Licence7, Licence8, Licence9, Licence10) VALUES (");
        addFirstValues(insert, event->code, club.code, date, team, time, place).sql(", 50, 'R', '', '', ''");
        for (std::int64_t slot : slots) insert.sql(", ").number(slot);
        db_.execute(insert.sql(")"));
    }

    Database& db_;
    HistorySize size_;
    Random random_;
    std::vector<const Event*> individual_, relays_;
    std::vector<Club> clubs_;
    std::int64_t reference_ = 0;  // the reference swimmer's Num
};

}  // namespace

HistoryCounts generateHistory(const std::string& database, const HistorySize& size, std::uint64_t seed) {
    auto db = openDatabase(database, DatabaseOptions{});
    return HistoryGenerator(*db, size, seed).run();
}

}  // namespace couloir::bench
