#include "meet_fixture.h"

#include "test_support.h"

namespace couloir::test {

std::string clubLine(const std::string& code, const std::string& label) { return pad(code, 13) + pad(label, 30); }

std::string licenceLine(const std::string& club, const std::string& licence, const std::string& surname,
                        const std::string& firstName, const std::string& sex, const std::string& birth) {
    return pad(club, 13) + pad(licence, 6) + pad(surname, 25) + pad(firstName, 20) + pad(sex, 1) + pad(birth, 8) +
           pad("FRA", 3) + pad("12 rue de l'Eau", 30) + pad("", 30) + pad("75014", 7) + pad("PARIS", 26) +
           pad("0102030405", 14) + "X     " + pad("01092025", 8) + pad("", 8) + "AN" + pad("", 19) +
           pad("IUF" + licence, 22);
}

std::string relayLine(const std::string& event, const std::string& club, const std::string& relayCode,
                      const std::vector<std::string>& relayers) {
    std::string line = "001" + pad(event, 2) + pad(club, 13) + pad(relayCode, 6);
    for (int i = 0; i < 10; ++i) line += pad(i < int(relayers.size()) ? relayers[i] : "", 6);
    return line;
}

std::string resultLine(const std::string& event, const std::string& race, const std::string& heat,
                       const std::string& club, const std::string& licence, const std::string& time,
                       const std::vector<std::string>& splits, const std::string& points) {
    std::string line = "001" + pad(event, 2) + pad(race, 1) + pad(heat, 2) + "4" + "1" + pad(club, 13) +
                       pad(licence, 6) + pad(time, 7);
    for (int i = 0; i < 14; ++i) line += pad(i < int(splits.size()) ? splits[i] : "", 7);
    return line + pad(points, 4);
}

std::string entryLine(const std::string& event, const std::string& club, const std::string& licence,
                      const std::string& team) {
    return pad("001" + pad(event, 2) + pad(club, 13) + pad(licence, 6) + pad("", 7) + pad(team, 2), 63);
}

MeetFiles smallMeet() {
    const std::string a = "FRA5120750001", b = "FRA5120750002";
    MeetFiles meet;
    meet.origine = {"Lorvantide"};
    meet.rcomp = {"001C" + pad("Meeting d'hiver", 40) + "07032026" + "08032026" + pad("Piscine d'Alésia", 30) + "2508" +
                  "RRQA"};
    meet.pcomp = {"001" "02" "07032026" "I" "1" "0" " " "01", "001" "53" "08032026" "I" "2" "1" "T" "02",
                  "001" "43" "08032026" "R" "1" "0" " " "03"};
    meet.categori = {pad("01" "2008" "2011" "Juniors", 28), pad("02" "1990" "2007" "Seniors d'hiver", 28)};
    meet.club = {clubLine(a, "Club Nautique d'Alésia"), clubLine(b, "Paris Natation")};
    meet.licence = {licenceLine(a, "950001", "DUPONT", "Léa", "F", "15031995"),
                    licenceLine(a, "960002", "MARTIN", "Chloé", "F", "01021996"),
                    licenceLine(a, "970003", "PETIT", "Inès", "F", "02031997"),
                    licenceLine(a, "980004", "ROUX", "Zoé", "F", "03041998"),
                    licenceLine(b, "990005", "BERNARD", "Paul", "M", "04051999")};
    meet.relais = {relayLine("43", a, "R2001F", {"950001", "960002", "970003", "980004"})};
    meet.prres = {resultLine("02", "S", "01", a, "950001", "01.0523", {"00.3100"}),
                  resultLine("02", "S", "01", a, "960002", "", {}),
                  resultLine("53", "F", "11", b, "990005", "02.0512", {"01.3010", "01.0020", "00.2950"}, "0812"),
                  resultLine("43", "S", "01", a, "R2001F", "04.0012",
                             {"03.0000", "02.3000", "02.0000", "01.3000", "01.0000", "00.5900", "00.2910"})};
    meet.engag = {entryLine("02", a, "950001", "01"), entryLine("53", b, "990005", "52"),
                  entryLine("43", a, "R2001F", "01")};
    return meet;
}

void writeMeet(const std::string& folder, const MeetFiles& meet) {
    writeInterchangeFile(folder + "/origine.txt", meet.origine);
    writeInterchangeFile(folder + "/rcomp.txt", meet.rcomp);
    writeInterchangeFile(folder + "/pcomp.txt", meet.pcomp);
    writeInterchangeFile(folder + "/categori.txt", meet.categori);
    writeInterchangeFile(folder + "/club.txt", meet.club);
    writeInterchangeFile(folder + "/licence.txt", meet.licence);
    writeInterchangeFile(folder + "/relais.txt", meet.relais);
    writeInterchangeFile(folder + "/prres.txt", meet.prres);
    writeInterchangeFile(folder + "/engag.txt", meet.engag);
}

}  // namespace couloir::test
