// bench_generate_licences OUT_DIR [--licences N] [--clubs N] [--departments N] [--seed N]
// Writes a national licence list for the licence import and the matching
// code file for the unique-code update:
//   OUT_DIR/lists/   origine.txt, club.txt, licence.txt
//   OUT_DIR/codes/   codes.txt
//   OUT_DIR/departements.sql   the departments to add to a club database's
//                              codification so that every club code passes
// Deterministic for given sizes and seed; the lists are sorted by club code,
// as the federation sorts them.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "generator_command.h"
#include "interchange_file.h"
#include "records.h"
#include "shared/text_date.h"

namespace couloir::bench {
namespace {

namespace fs = std::filesystem;

struct Size {
    int licences = 350000, clubs = 3000, departments = 300;
};

// The regions of the codification (db/reference.sql) with their inter-region.
struct Region {
    const char* code;
    char interRegion;
};
constexpr Region kRegions[] = {
    {"01", '1'}, {"02", '1'}, {"03", '1'}, {"04", '2'}, {"05", '2'}, {"06", '2'}, {"07", '3'},
    {"08", '3'}, {"09", '3'}, {"10", '4'}, {"11", '4'}, {"12", '5'}, {"13", '6'}, {"14", '6'},
    {"15", '6'}, {"16", '6'}, {"17", '7'}, {"18", '7'}, {"19", '7'}, {"20", '8'}, {"21", '8'},
    {"22", '8'}, {"23", '9'}, {"24", '9'}, {"25", '9'}, {"26", '9'},
};
constexpr int kRegionCount = sizeof kRegions / sizeof kRegions[0];

// Numbered departments 100 and up, which the codification does not use,
// dealt to the regions in turn.
struct Department {
    std::string code;
    const Region* region;
};

std::vector<Department> departments(int count) {
    if (count < 1 || count > 900) throw std::invalid_argument("--departments must be from 1 to 900");
    std::vector<Department> list;
    for (int i = 0; i < count; ++i) list.push_back({std::to_string(100 + i), &kRegions[i % kRegionCount]});
    return list;
}

const char* const kSurnames[] = {
    "MARTIN",  "BERNARD", "DUBOIS",  "THOMAS",   "ROBERT",  "RICHARD", "PETIT",    "DURAND",    "LEROY",
    "MOREAU",  "SIMON",   "LAURENT", "LEFEVRE",  "MICHEL",  "GARCIA",  "DAVID",    "BERTRAND",  "ROUX",
    "VINCENT", "FOURNIER", "MOREL",  "GIRARD",   "ANDRE",   "MERCIER", "DUPONT",   "LAMBERT",   "BONNET",
    "FRANCOIS", "LEGRAND", "GARNIER", "FAURE",   "ROUSSEAU", "BLANC",  "GUERIN",   "MULLER",    "HENRY",
    "D'ALMEIDA", "N'DIAYE", "LE GOFF", "DA COSTA", "NGUYEN", "CHEVALIER", "FONTAINE", "LEMAIRE", "BARBIER",
};
const char* const kWomen[] = {"Léa",   "Chloé",  "Manon", "Emma",    "Inès",   "Jade",   "Louise", "Zoé",
                              "Camille", "Anaïs", "Maëlys", "Hélène", "Noémie", "Océane", "Agathe", "Lucie"};
const char* const kMen[] = {"Lucas",   "Hugo",   "Théo",     "Nathan",  "Louis",  "Gabriel", "Jules",  "Noé",
                            "Raphaël", "Clément", "Loïc",    "Benoît",  "Jérôme", "Maxime",  "Arthur", "Paul"};

template <typename T, std::size_t N>
const T& pick(const T (&items)[N], std::mt19937_64& rng) {
    return items[rng() % N];
}


struct Club {
    std::string code, label;
    int licences = 0;
};

std::vector<Club> makeClubs(const Size& size, const std::vector<Department>& list, std::mt19937_64& rng) {
    std::vector<Club> clubs;
    for (int n = 0; n < size.clubs; ++n) {
        const Department& department = list[n % list.size()];
        char number[16];
        std::snprintf(number, sizeof number, "%04d", n / static_cast<int>(list.size()) + 1);
        clubs.push_back({std::string("FRA") + department.region->interRegion + department.region->code +
                             department.code + number,
                         "Cercle des Nageurs n° " + std::to_string(n + 1), 0});
    }
    for (int i = 0; i < size.licences; ++i) ++clubs[rng() % clubs.size()].licences;
    std::sort(clubs.begin(), clubs.end(), [](const Club& a, const Club& b) { return a.code < b.code; });
    return clubs;
}

void writeDepartments(const fs::path& path, const std::vector<Department>& list) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "-- Departments of the generated licence list, added to the codification.\n"
           "INSERT INTO Departement (Code, Region) VALUES\n";
    for (std::size_t i = 0; i < list.size(); ++i)
        out << "    ('" << list[i].code << "', '" << list[i].region->code << "')" << (i + 1 < list.size() ? ",\n" : ";\n");
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

struct Counts {
    int clubs = 0, licences = 0;
};

Counts generate(const fs::path& folder, const Size& size, std::uint64_t seed) {
    if (size.licences < 0 || size.clubs < 1) throw std::invalid_argument("--clubs must be 1 or more");
    std::mt19937_64 rng(seed);
    std::vector<Department> list = departments(size.departments);
    std::vector<Club> clubs = makeClubs(size, list, rng);
    fs::create_directories(folder / "lists");
    fs::create_directories(folder / "codes");
    writeDepartments(folder / "departements.sql", list);

    InterchangeFile origine(folder / "lists" / "origine.txt");
    origine.write("Licences fédérales");
    origine.close();

    InterchangeFile clubFile(folder / "lists" / "club.txt");
    for (const Club& club : clubs) clubFile.write(format(ClubRecord{club.code, club.label}));
    clubFile.close();

    InterchangeFile licenceFile(folder / "lists" / "licence.txt");
    InterchangeFile codeFile(folder / "codes" / "codes.txt");
    std::int64_t uniqueCode = 1000000;
    for (const Club& club : clubs) {
        if (club.licences > 10000) throw std::invalid_argument("more than 10000 licences in a club: add clubs");
        for (int k = 0; k < club.licences; ++k) {
            int year = 1950 + static_cast<int>(rng() % 70);
            bool woman = rng() % 2 == 0;
            LicenceRecord r;
            r.club = club.code;
            // The first two digits are the birth year; the serial keeps numbers unique within the club.
            char serial[16];
            std::snprintf(serial, sizeof serial, "%04d", k);
            r.licence = twoDigits(year) + serial;
            r.surname = pick(kSurnames, rng);
            r.firstName = woman ? pick(kWomen, rng) : pick(kMen, rng);
            r.sex = woman ? "F" : "M";
            r.birth = twoDigits(1 + static_cast<int>(rng() % 28)) + twoDigits(1 + static_cast<int>(rng() % 12)) +
                      std::to_string(year);
            r.nationality = "FRA";
            r.address = std::to_string(1 + rng() % 120) + " rue de l'Eglise";
            r.postcode = club.code.substr(7, 2) + "000";
            r.town = "VILLE " + club.code.substr(4, 5);
            r.phone = "0102030405";
            r.deposit = "01092026";
            r.type = "C";
            r.nature = "N";
            licenceFile.write(format(r));
            codeFile.write(strCadrerGauche(club.code.substr(4), 9) + r.licence +
                           strCadrerGauche(std::to_string(uniqueCode++), 30));
        }
    }
    licenceFile.close();
    codeFile.close();
    return {static_cast<int>(clubs.size()), static_cast<int>(licenceFile.lines())};
}

}  // namespace
}  // namespace couloir::bench

int main(int argc, char** argv) {
    using namespace couloir::bench;
    Size size;
    GeneratorCommand command{"bench_generate_licences",
                             "OUT_DIR [--licences N] [--clubs N] [--departments N] [--seed N]",
                             {{"--licences", &size.licences},
                              {"--clubs", &size.clubs},
                              {"--departments", &size.departments}}};
    return runGenerator(command, argc, argv, [&](const std::string& folder, std::uint64_t seed) {
        Counts counts = generate(folder, size, seed);
        return std::to_string(counts.clubs) + " clubs in " + std::to_string(size.departments) + " departments, " +
               std::to_string(counts.licences) + " licences";
    });
}
