#include "shared/licence_import.h"
#include "shared/reference_swimmer.h"

#include "import_fixture.h"
#include "shared/licence_record.h"

namespace couloir::test {
namespace {

// One licence.txt record, every field at its place.
struct LicenceEntry {
    std::string club = "FRA5120750001", licence = "951234", surname = "DUPONT", firstName = "Jean", sex = "M",
                birthDate = "15031995", nationality = "FRA", address = "1 rue de l'Eglise", addressMore = "Bât. B",
                postcode = "75001", town = "PARIS", phone = "0102030405", activities = "100001",
                deposit = "01092010", obliteration = "", licenceType = "A", nature = "N", origin = "",
                uniqueCode = "IUF123";

    std::string line() const {
        return pad(club, 13) + pad(licence, 6) + pad(surname, 25) + pad(firstName, 20) + pad(sex, 1) +
               pad(birthDate, 8) + pad(nationality, 3) + pad(address, 30) + pad(addressMore, 30) + pad(postcode, 7) +
               pad(town, 26) + pad(phone, 14) + pad(activities, 6) + pad(deposit, 8) + pad(obliteration, 8) +
               pad(licenceType, 1) + pad(nature, 1) + pad(origin, 19) + pad(uniqueCode, 22);
    }
};

LicenceEntry with(std::string club, std::string licence, std::string surname = "DUPONT", std::string birthDate = "") {
    LicenceEntry l;
    l.club = std::move(club);
    l.licence = std::move(licence);
    l.surname = std::move(surname);
    l.birthDate = std::move(birthDate);
    return l;
}

TEST(LicenceRecord, SurnameIsFoldedToPlainCapitals) {
    EXPECT_EQ(foldSurname("Éloïse-Müller"), "ELOISE-MULLER");
    EXPECT_EQ(foldSurname("françois d'hôtel"), "FRANCOIS D'HOTEL");
    EXPECT_EQ(foldSurname("Œdipe Ñúñez"), "ŒDIPE ÑÚÑEZ");  // letters outside the list keep their accent
}

TEST(LicenceRecord, LicenceNumberCarriesTheBirthYear) {
    FixedNow now("2010-06-15T12:00:00");
    EXPECT_EQ(birthDateFromLicence("951234", "19950315"), "19950315");
    EXPECT_EQ(birthDateFromLicence("951234", "19960315"), "19950101");
    EXPECT_EQ(birthDateFromLicence("951234", ""), "19950101");
    EXPECT_EQ(birthDateFromLicence("051234", ""), "20050101");
    EXPECT_EQ(birthDateFromLicence("291234", ""), "19290101");  // 2029 would be after today
    EXPECT_EQ(birthDateFromLicence("", ""), "");
    try {
        birthDateFromLicence("AB1234", "19950315");
        ADD_FAILURE();
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errors::kTypeMismatch);
    }
    FixedNow newYear("2005-01-01T00:00:00");
    EXPECT_EQ(birthDateFromLicence("051234", ""), "20050101");  // today itself is not later than today
}

TEST(LicenceRecord, LineIsCutIntoTwentyFourConvertedFields) {
    LicenceEntry l;
    l.surname = "Éloïse-Müller";
    l.origin = "FRA5120750001 6111";
    std::vector<std::string> f = DecouperLicence(l.line());
    ASSERT_EQ(f.size(), 24u);
    EXPECT_EQ(f[kLicClub], "FRA5120750001");
    EXPECT_EQ(f[kLicNom], "ELOISE-MULLER");
    EXPECT_EQ(f[kLicNaissance], "19950315");
    EXPECT_EQ(f[7], "1 rue de l'Eglise");
    EXPECT_EQ(f[12] + f[17], "11");
    EXPECT_EQ(f[kLicDepot], "20100901");
    EXPECT_EQ(f[kLicObliteration], "");
    EXPECT_EQ(f[kLicOrigine], "FRA5120750001 6111 ");
    EXPECT_EQ(selectionOrigin(f[kLicOrigine]).licence, "6111");
    EXPECT_EQ(f[kLicCodeUnique], "IUF123");
    std::vector<std::string> shortLine = DecouperLicence("FRA512075");
    EXPECT_EQ(shortLine[kLicClub], "FRA512075");
    EXPECT_EQ(shortLine[kLicNaissance], "");
}

using LicenceImport = ImportFixture;

TEST_F(LicenceImport, LicenceLibraryCreatesSwimmersOnceAndReportsReuse) {
    LicenceEntry first;
    first.surname = "Éloïse-Müller";
    std::string path = file({first.line(), with("FRA5120750001", "R10011").line(),
                             with("FRA5120750001", "r10012").line(), first.line(),
                             with("FRA5120750001", "961111", "MARTIN").line()});
    FixedNow now("2010-06-15T12:00:00");
    EXPECT_TRUE(ImporterLicences(session, lists, path, 20, kLicencesForLicences, std::nullopt));
    EXPECT_EQ(lists.colLicencesVues.size(), 2u);
    EXPECT_EQ(lists.colLicencesNum.size(), 0u);
    EXPECT_NEAR(progress, 100, 1e-6);

    RunLists nextCall;
    EXPECT_TRUE(ImporterLicences(session, nextCall, path, 20, kLicencesForLicences, std::nullopt));
    EXPECT_EQ(traceText(),
              "Warning Ligne n° : 1.\nCode club (FRA5120750001) inconnu de la base. Création avec Le libelle Null.\n"
              "\nRécupération de 2 licences sur 5.\n0 licence déjà connue.\n2 licences de type relais.\n"
              "0 entrée en erreur.\n1 club ajouté avec le libellé Null.\n\n"
              "Warning Ligne n° : 1.\nLicence (FRA5120750001 + 951234) déjà utilisée.\n"
              "Nom dans la base : ELOISE-MULLER Jean\nNom dans fichier : Éloïse-Müller Jean\n"
              "\nRécupération de 0 licence sur 5.\n2 licences déjà connues.\n2 licences de type relais.\n"
              "0 entrée en erreur.\n0 club ajouté avec le libellé Null.\n\n");
    EXPECT_EQ(rows("select * from Licence where Code_Club = 'FRA5120750001' order by Licence"),
              (std::vector<std::string>{
                  "2|FRA5120750001|951234|ELOISE-MULLER|Jean|M|19950315|FRA|1 rue de l'Eglise|Bât. B|75001|PARIS|"
                  "0102030405|1|0|0|0|0|1|20100901||A|N|IUF123||1",
                  "3|FRA5120750001|961111|MARTIN|Jean|M|19960101|FRA|1 rue de l'Eglise|Bât. B|75001|PARIS|"
                  "0102030405|1|0|0|0|0|1|20100901||A|N|IUF123||1"}));
    EXPECT_EQ(rows("select Intitule, Selection from Club where Code_federal = 'FRA5120750001'"),
              std::vector<std::string>{"Null|0"});
}

TEST_F(LicenceImport, ResultsImportKeepsAgesAndStopsAtTheFirstError) {
    db().execute(test::sql("INSERT INTO Club (Code_federal, Intitule) VALUES ('FRA5120750001', 'CN Paris')"));
    // The database compares codes without regard to case.
    db().execute(test::sql("INSERT INTO Licence (Code_Club, Licence, Nom, Prenom, Date_Naissance) "
                 "VALUES ('fra5120750001', '971111', 'MARTIN', 'Paul', '19970101')"));
    LicenceEntry known = with("FRA5120750001", "971111", "Martin");
    known.firstName = "Paul";
    std::string path = file({known.line(), LicenceEntry().line(),
                             with("FRA5120750001", "151234", "PETIT", "01012015").line(),
                             with("FRA5120590001", "941111").line(), with("FRA5120750001", "931111").line()});
    Date start = parseYyyymmdd("20100701");
    EXPECT_FALSE(ImporterLicences(session, lists, path, 20, kLicencesForResults, start));
    EXPECT_EQ(traceText(),
              "Ligne n° 1, licence (FRA5120750001 + 971111) déjà utilisée.\nNom dans la base : MARTIN Paul\n"
              "Nom dans le fichier : Martin Paul\n"
              "Warning Ligne n° : 3.\nCalcul de l'age donne un résultat négatif\nDate de naissance : 01 janvier 2015\n"
              "Date début compétition : 01/07/2010\n"
              "Erreur Ligne n° : 4.\nCode club (FRA5120590001) inconnu de la base. Echec de la création avec Le "
              "libelle Null.\n"
              "Erreur Ligne n° : 4.\nImport des licences interrompu.\n\n");
    std::string age, num;
    EXPECT_TRUE(bLireCollection(lists.colLicencesAge, "FRA5120750001971111", age));
    EXPECT_EQ(age, "13");
    EXPECT_TRUE(bLireCollection(lists.colLicencesAge, "FRA5120750001151234", age));
    EXPECT_EQ(age, "0");
    EXPECT_TRUE(bLireCollection(lists.colLicencesNum, "FRA5120750001951234", num));
    EXPECT_EQ(rows("select Num from Licence where Licence = '951234'"), std::vector<std::string>{num});
    EXPECT_EQ(db().lValeurScalaire(test::sql("select count(*) from Licence where Licence = '931111'")), 0);
}

TEST_F(LicenceImport, PerformanceImportChecksBirthDatesAndGoesOnAfterErrors) {
    FixedNow now("2010-06-15T12:00:00");
    db().execute(test::sql("INSERT INTO Licence (Code_Club, Licence, Nom, Prenom, Date_Naissance) "
                 "VALUES ('FRA5120750001', '951234', 'DUPONT', 'Jean', '19960315')"));
    // A table large next to the file: each swimmer is looked up on his own.
    for (int i = 0; i < 20; ++i)
        db().execute(test::sql("INSERT INTO Licence (Code_Club, Licence) VALUES ('FRA5120780001', '" + std::to_string(i) + "')"));
    std::string path = file({LicenceEntry().line(), with("FRA5120590001", "941111").line(),
                             with("FRA5120750001", "291234").line()});
    EXPECT_TRUE(ImporterLicences(session, lists, path, 50, kLicencesForPerformances, std::nullopt));
    std::string date;
    EXPECT_TRUE(bLireCollection(lists.colLicencesNaissance, "FRA5120750001951234", date));
    EXPECT_EQ(date, "19950101");
    EXPECT_TRUE(bLireCollection(lists.colLicencesNaissance, "FRA5120750001291234", date));
    EXPECT_EQ(date, "19290101");
    EXPECT_EQ(rows("select Date_Naissance from Licence where Code_Club = 'FRA5120750001' order by Licence"),
              (std::vector<std::string>{"19290101", "19960315"}));  // a stored swimmer is never changed
    std::string trace = traceText();
    EXPECT_NE(trace.find("Erreur Ligne n° : 2.\nCode club (FRA5120590001) inconnu de la base. Echec de la création "
                         "avec Le libelle Null.\n\nRécupération de 1 licence sur 3.\n1 licence déjà connue.\n"
                         "0 licence de type relais.\n1 entrée en erreur.\n"),
              std::string::npos)
        << trace;
}

TEST_F(LicenceImport, SelectionMembersAreFoundUnderEitherIdentity) {
    db().execute(test::sql("INSERT INTO Club (Code_federal, Intitule) VALUES ('FRA5120750001', 'CN Paris')"));
    db().execute(test::sql("INSERT INTO Licence (Code_Club, Licence, Nom, Prenom, Date_Naissance) "
                 "VALUES ('FRA5120750001', '971111', 'DUPONT', 'Jean', '19970101')"));
    // A selection entry carries the member's licence number and names his own club.
    LicenceEntry member = with("FRA5120000000", "961111", "DUPONT", "01011996");
    member.origin = "FRA5120750001961111";
    LicenceEntry known = with("FRA5120000000", "971111");
    known.origin = "FRA5120750001971111";
    std::string path = file({member.line(), member.line(), with("FRA5120000000", "962222").line(), known.line()});
    EXPECT_TRUE(ImporterLicences(session, lists, path, 25, kLicencesForPerformances, std::nullopt));
    RunLists nextCall;
    EXPECT_TRUE(ImporterLicences(session, nextCall, path, 25, kLicencesForPerformances, std::nullopt));

    std::string num = rows("select Num from Licence where Code_Club = 'FRA5120750001' and Licence = '961111'").at(0);
    std::string viaOrigin, viaSelection;
    EXPECT_TRUE(bLireCollection(lists.colLicencesNum, "FRA5120750001961111", viaOrigin));
    EXPECT_TRUE(bLireCollection(lists.colLicencesNum, "FRA5120000000961111", viaSelection));
    EXPECT_EQ(viaOrigin, num);
    EXPECT_EQ(viaSelection, num);
    EXPECT_EQ(rows("select Code_Sel, Num_Lic from Selection order by Num_Lic"),
              (std::vector<std::string>{"FRA5120000000|2", "FRA5120000000|" + num}));
    EXPECT_EQ(rows("select Selection from Club where Code_federal = 'FRA5120000000'"), std::vector<std::string>{"1"});

    std::string trace = traceText();
    EXPECT_NE(trace.find("Warning Ligne n° : 3.\nEnregistrement dans une sélection, mais information sur la licence "
                         "origine (code club + licence) erronée.\n"
                         "Erreur Ligne n° : 3.\nVéritable numéro de licence introuvable, utilisation de celui de la "
                         "sélection : 962222\n"
                         "Une erreur s'est produite dans la fonction d'ajout de club.\nLe code club est erronné : \n"
                         "Erreur Ligne n° : 3.\nEchec lors de la mémorisation du nageur DUPONT Jean, licence 962222, "
                         "Club FRA5120000000.\n\n"),
              std::string::npos)
        << trace;
    EXPECT_NE(trace.find("Récupération de 1 licence sur 4.\n1 licence déjà connue.\n0 licence de type relais.\n"
                         "1 entrée en erreur.\n1 club ajouté"),
              std::string::npos);
    EXPECT_NE(trace.find("Récupération de 0 licence sur 4.\n2 licences déjà connues."), std::string::npos);
}

TEST_F(LicenceImport, OddFilesNeverCrash) {
    // Apostrophes in the club number and the licence number reach SQL doubled.
    std::string quoted = file({with("FRA512075'001", "95'234").line()}, "quotes.txt");
    EXPECT_TRUE(ImporterLicences(session, lists, quoted, 100, kLicencesForLicences, std::nullopt));
    RunLists nextCall;
    EXPECT_TRUE(ImporterLicences(session, nextCall, quoted, 100, kLicencesForLicences, std::nullopt));
    EXPECT_EQ(db().lValeurScalaire(test::sql("select count(*) from Licence where Code_Club = 'FRA512075''001' and "
                                   "Licence = '95''234'")),
              1);

    RunLists other;
    EXPECT_TRUE(ImporterLicences(session, other, file({}, "empty.txt"), 100, kLicencesForResults, std::nullopt));
    EXPECT_TRUE(ImporterLicences(session, other, file({"FRA"}, "short.txt"), 100, kLicencesForLicences, std::nullopt));
    std::string trace = traceText();
    EXPECT_NE(trace.find("Récupération de 0 licence sur 1.\n1 licence déjà connue."), std::string::npos);
    EXPECT_NE(trace.find("\nRécupération de 0 licence sur 0.\n"), std::string::npos);
    EXPECT_NE(trace.find("Erreur Ligne n° : 1.\nCode club (FRA) inconnu de la base."), std::string::npos);
}

TEST_F(LicenceImport, UnexpectedErrorEndsTheFile) {
    std::string path = file({with("FRA5120750001", "AB1234", "DUPONT", "15031995").line(), LicenceEntry().line()});
    EXPECT_FALSE(ImporterLicences(session, lists, path, 50, kLicencesForLicences, std::nullopt));
    RunLists nextCall;
    EXPECT_FALSE(ImporterLicences(session, nextCall, path, 50, kLicencesForResults, parseYyyymmdd("20100701")));
    EXPECT_EQ(traceText(),
              "Warning Ligne n° : 1.\nCode club (FRA5120750001) inconnu de la base. Création avec Le libelle Null.\n"
              "Erreur Ligne n° : 1.\nImport des licences interrompu.\nErreur n° 13: Incompatibilité de type\n\n"
              // the results import first reports the line's own message, empty here
              "Erreur Ligne n° : 1.\n\n"
              "Erreur Ligne n° : 1.\nImport des licences interrompu.\nErreur n° 13: Incompatibilité de type\n\n");
    EXPECT_EQ(db().lValeurScalaire(test::sql("select count(*) from Licence where Licence = '951234'")), 0);
}

TEST_F(LicenceImport, ReferenceSwimmerIsFoundOrCreated) {
    std::string existing = strNageurReference(db());
    EXPECT_EQ(rows("select Nom from Licence where Num = " + existing), std::vector<std::string>{"Null"});
    db().execute(test::sql("DELETE FROM Licence"));
    std::string created = strNageurReference(db());
    EXPECT_EQ(rows("select Code_Club, Licence, Nom, Visible, Date_suppr from Licence where Num = " + created),
              std::vector<std::string>{"FRA0000000000|1|Null|0|"});
    EXPECT_EQ(strNageurReference(db()), created);
}

}  // namespace
}  // namespace couloir::test
