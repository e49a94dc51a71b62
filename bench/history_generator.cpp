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
            db_.execute("INSERT INTO Club (Code_federal, Intitule, Selection) VALUES (" + sqlQuote(clubs_[c].code) +
                        ", " + sqlQuote(std::string(random_.pick(kClubWords)) + " " + std::to_string(c)) + ", false)");
        }
        // The new swimmers' Num follow the largest one of the fresh database.
        std::int64_t num = db_.lValeurScalaire("SELECT max(Num) FROM Licence");
        reference_ = db_.lValeurScalaire("SELECT Num FROM Licence WHERE Nom = 'Null'");
        for (int s = 0; s < size_.swimmers; ++s) {
            Club& club = clubs_[static_cast<std::size_t>(s) % clubs_.size()];
            char sex = random_.between(0, 1) ? 'F' : 'M';
            int year = random_.between(1960, 2015);
            std::string licence = digits(year % 100, 2) + digits(static_cast<int>(club.swimmers.size()) + 1, 4);
            db_.execute(
                "INSERT INTO Licence (Code_Club, Licence, Nom, Prenom, Sexe, Date_Naissance, Nationalite, Sportive, "
                "Synchro, Water_Polo, Plongeon, Dirigeant, Maitre, Date_Depot, Date_obliteration, Type_licence, "
                "Nature, Code_unique) VALUES (" +
                sqlQuote(club.code) + ", " + sqlQuote(licence) + ", " + sqlQuote(random_.pick(kSurnames)) + ", " +
                sqlQuote(sex == 'F' ? random_.pick(kWomen) : random_.pick(kMen)) + ", '" + sex + "', '" +
                std::to_string(year) + "0101', 'FRA', 'O', 'N', 'N', 'N', 'N', 'N', '20240901', '20240915', 'R', "
                "'N', '" + digits(s, 10) + "')");
            club.swimmers.push_back({++num, sex});
        }
    }

    void addPerformance() {
        const Club& club = random_.pick(clubs_);
        const Swimmer& swimmer = random_.pick(club.swimmers);
        const Event* event;
        do event = random_.pick(individual_);
        while (event->sex != swimmer.sex);
        db_.execute("INSERT INTO Liffn (Code_epreuve, Code_club, Date_perf, Num_Lic, Tps, Num_compet, Lieu, "
                    "Type_bassin, Codif_Fede, Codif_Inter, Codif_Reg, Codif_Depart, Passage_relais) VALUES (" +
                    std::to_string(event->code) + ", " + sqlQuote(club.code) + ", '" + randomDate(random_) + "', " +
                    std::to_string(swimmer.num) + ", " + randomTime(event->distance, 1, random_) + ", 1, " +
                    sqlQuote(random_.pick(kPlaces)) + ", " + (random_.between(0, 1) ? "25" : "50") +
                    ", 'R', 'A', 'D', '', '" + (random_.between(1, 20) == 1 ? "R" : "") + "')");
    }

    // A team of the club's swimmers; slots past the team's size hold the reference swimmer.
    void addRelay() {
        const Club& club = random_.pick(clubs_);
        const Event* event = random_.pick(relays_);
        std::string slots;
        for (int slot = 0; slot < 10; ++slot) {
            std::int64_t num = slot < event->swimmers ? random_.pick(club.swimmers).num : reference_;
            slots += ", " + std::to_string(num);
        }
        db_.execute("INSERT INTO Liffn_relais (Code_epreuve, Code_club, Date_perf, Num_Lic, Tps, Num_compet, Lieu, "
                    "Type_bassin, Codif_Fede, Codif_Inter, Codif_Reg, Codif_Depart, Licence1, Licence2, Licence3, "
                    "Licence4, Licence5, Licence6, Licence7, Licence8, Licence9, Licence10) VALUES (" +
                    std::to_string(event->code) + ", " + sqlQuote(club.code) + ", '" + randomDate(random_) + "', " +
                    std::to_string(random_.between(1, 4)) + ", " +
                    randomTime(event->distance, event->swimmers, random_) + ", 1, " + sqlQuote(random_.pick(kPlaces)) +
                    ", 50, 'R', '', '', ''" + slots + ")");
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
