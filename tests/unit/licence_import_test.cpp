#include "shared/licence_import.h"

#include "import_fixture.h"
#include "shared/licence_record.h"

namespace couloir::test {
namespace {

// One licence.txt record, every field at its place.
struct Licencie {
    std::string club = "FRA5120750001", licence = "951234", nom = "DUPONT", prenom = "Jean", sexe = "M",
                naissance = "15031995", nationalite = "FRA", adresse = "1 rue de l'Eglise", suite = "Bât. B",
                codePostal = "75001", localite = "PARIS", telephone = "0102030405", activites = "100001",
                depot = "01092010", obliteration = "", typeLicence = "A", nature = "N", origine = "",
                codeUnique = "IUF123";

    std::string ligne() const {
        return pad(club, 13) + pad(licence, 6) + pad(nom, 25) + pad(prenom, 20) + pad(sexe, 1) + pad(naissance, 8) +
               pad(nationalite, 3) + pad(adresse, 30) + pad(suite, 30) + pad(codePostal, 7) + pad(localite, 26) +
               pad(telephone, 14) + pad(activites, 6) + pad(depot, 8) + pad(obliteration, 8) + pad(typeLicence, 1) +
               pad(nature, 1) + pad(origine, 19) + pad(codeUnique, 22);
    }
};

Licencie with(std::string club, std::string licence, std::string nom = "DUPONT", std::string naissance = "") {
    Licencie l;
    l.club = std::move(club);
    l.licence = std::move(licence);
    l.nom = std::move(nom);
    l.naissance = std::move(naissance);
    return l;
}

TEST(LicenceRecord, SurnameIsFoldedToPlainCapitals) {
    EXPECT_EQ(strPlierNom("Éloïse-Müller"), "ELOISE-MULLER");
    EXPECT_EQ(strPlierNom("françois d'hôtel"), "FRANCOIS D'HOTEL");
    EXPECT_EQ(strPlierNom("Œdipe Ñúñez"), "ŒDIPE ÑÚÑEZ");  // letters outside the list keep their accent
}

TEST(LicenceRecord, LicenceNumberCarriesTheBirthYear) {
    FixedNow now("2010-06-15T12:00:00");
    EXPECT_EQ(strNaissanceSelonLicence("951234", "19950315"), "19950315");
    EXPECT_EQ(strNaissanceSelonLicence("951234", "19960315"), "19950101");
    EXPECT_EQ(strNaissanceSelonLicence("951234", ""), "19950101");
    EXPECT_EQ(strNaissanceSelonLicence("051234", ""), "20050101");
    EXPECT_EQ(strNaissanceSelonLicence("291234", ""), "19290101");  // 2029 would be after today
    EXPECT_EQ(strNaissanceSelonLicence("", ""), "");
    try {
        strNaissanceSelonLicence("AB1234", "19950315");
        ADD_FAILURE();
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errors::kTypeMismatch);
    }
    FixedNow newYear("2005-01-01T00:00:00");
    EXPECT_EQ(strNaissanceSelonLicence("051234", ""), "20050101");  // today itself is not later than today
}

TEST(LicenceRecord, LineIsCutIntoTwentyFourConvertedFields) {
    Licencie l;
    l.nom = "Éloïse-Müller";
    l.origine = "FRA5120750001 6111";
    std::vector<std::string> f = DecouperLicence(l.ligne());
    ASSERT_EQ(f.size(), 24u);
    EXPECT_EQ(f[kChampCodeClub], "FRA5120750001");
    EXPECT_EQ(f[kChampNom], "ELOISE-MULLER");
    EXPECT_EQ(f[kChampNaissance], "19950315");
    EXPECT_EQ(f[7], "1 rue de l'Eglise");
    EXPECT_EQ(f[12] + f[17], "11");
    EXPECT_EQ(f[kChampDepot], "20100901");
    EXPECT_EQ(f[kChampObliteration], "");
    EXPECT_EQ(f[kChampOrigine], "FRA5120750001 6111 ");
    EXPECT_EQ(origineSelection(f[kChampOrigine]).licence, "6111");
    EXPECT_EQ(f[kChampCodeUnique], "IUF123");
    std::vector<std::string> shortLine = DecouperLicence("FRA512075");
    EXPECT_EQ(shortLine[kChampCodeClub], "FRA512075");
    EXPECT_EQ(shortLine[kChampNaissance], "");
}

using LicenceImport = ImportFixture;

TEST_F(LicenceImport, LicenceLibraryCreatesSwimmersOnceAndReportsReuse) {
    Licencie first;
    first.nom = "Éloïse-Müller";
    std::string path = file({first.ligne(), with("FRA5120750001", "R10011").ligne(),
                             with("FRA5120750001", "r10012").ligne(), first.ligne(),
                             with("FRA5120750001", "961111", "MARTIN").ligne()});
    FixedNow now("2010-06-15T12:00:00");
    EXPECT_TRUE(ImporterLicences(session, lists, path, 20, kLicencesLicences, std::nullopt));
    EXPECT_EQ(lists.colLicencesVues.size(), 2u);
    EXPECT_EQ(lists.colLicencesNum.size(), 0u);
    EXPECT_NEAR(progress, 100, 1e-6);

    RunLists nextCall;
    EXPECT_TRUE(ImporterLicences(session, nextCall, path, 20, kLicencesLicences, std::nullopt));
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
    db().execute("INSERT INTO Club (Code_federal, Intitule) VALUES ('FRA5120750001', 'CN Paris')");
    // The database compares codes without regard to case.
    db().execute("INSERT INTO Licence (Code_Club, Licence, Nom, Prenom, Date_Naissance) "
                 "VALUES ('fra5120750001', '971111', 'MARTIN', 'Paul', '19970101')");
    Licencie known = with("FRA5120750001", "971111", "Martin");
    known.prenom = "Paul";
    std::string path = file({known.ligne(), Licencie().ligne(), with("FRA5120750001", "151234", "PETIT", "01012015").ligne(),
                             with("FRA5120590001", "941111").ligne(), with("FRA5120750001", "931111").ligne()});
    Date start = parseAaaammjj("20100701");
    EXPECT_FALSE(ImporterLicences(session, lists, path, 20, kLicencesResultats, start));
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
    EXPECT_EQ(db().lValeurScalaire("select count(*) from Licence where Licence = '931111'"), 0);
}

TEST_F(LicenceImport, PerformanceImportChecksBirthDatesAndGoesOnAfterErrors) {
    FixedNow now("2010-06-15T12:00:00");
    db().execute("INSERT INTO Licence (Code_Club, Licence, Nom, Prenom, Date_Naissance) "
                 "VALUES ('FRA5120750001', '951234', 'DUPONT', 'Jean', '19960315')");
    // A table large next to the file: each swimmer is looked up on his own.
    for (int i = 0; i < 20; ++i)
        db().execute("INSERT INTO Licence (Code_Club, Licence) VALUES ('FRA5120780001', '" + std::to_string(i) + "')");
    std::string path = file({Licencie().ligne(), with("FRA5120590001", "941111").ligne(),
                             with("FRA5120750001", "291234").ligne()});
    EXPECT_TRUE(ImporterLicences(session, lists, path, 50, kLicencesPerformances, std::nullopt));
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
    db().execute("INSERT INTO Club (Code_federal, Intitule) VALUES ('FRA5120750001', 'CN Paris')");
    db().execute("INSERT INTO Licence (Code_Club, Licence, Nom, Prenom, Date_Naissance) "
                 "VALUES ('FRA5120750001', '971111', 'DUPONT', 'Jean', '19970101')");
    // A selection entry carries the member's licence number and names his own club.
    Licencie member = with("FRA5120000000", "961111", "DUPONT", "01011996");
    member.origine = "FRA5120750001961111";
    Licencie known = with("FRA5120000000", "971111");
    known.origine = "FRA5120750001971111";
    std::string path = file({member.ligne(), member.ligne(), with("FRA5120000000", "962222").ligne(), known.ligne()});
    EXPECT_TRUE(ImporterLicences(session, lists, path, 25, kLicencesPerformances, std::nullopt));
    RunLists nextCall;
    EXPECT_TRUE(ImporterLicences(session, nextCall, path, 25, kLicencesPerformances, std::nullopt));

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
    std::string quoted = file({with("FRA512075'001", "95'234").ligne()}, "quotes.txt");
    EXPECT_TRUE(ImporterLicences(session, lists, quoted, 100, kLicencesLicences, std::nullopt));
    RunLists nextCall;
    EXPECT_TRUE(ImporterLicences(session, nextCall, quoted, 100, kLicencesLicences, std::nullopt));
    EXPECT_EQ(db().lValeurScalaire("select count(*) from Licence where Code_Club = 'FRA512075''001' and "
                                   "Licence = '95''234'"),
              1);

    RunLists other;
    EXPECT_TRUE(ImporterLicences(session, other, file({}, "empty.txt"), 100, kLicencesResultats, std::nullopt));
    EXPECT_TRUE(ImporterLicences(session, other, file({"FRA"}, "short.txt"), 100, kLicencesLicences, std::nullopt));
    std::string trace = traceText();
    EXPECT_NE(trace.find("Récupération de 0 licence sur 1.\n1 licence déjà connue."), std::string::npos);
    EXPECT_NE(trace.find("\nRécupération de 0 licence sur 0.\n"), std::string::npos);
    EXPECT_NE(trace.find("Erreur Ligne n° : 1.\nCode club (FRA) inconnu de la base."), std::string::npos);
}

TEST_F(LicenceImport, UnexpectedErrorEndsTheFile) {
    std::string path = file({with("FRA5120750001", "AB1234", "DUPONT", "15031995").ligne(), Licencie().ligne()});
    EXPECT_FALSE(ImporterLicences(session, lists, path, 50, kLicencesLicences, std::nullopt));
    RunLists nextCall;
    EXPECT_FALSE(ImporterLicences(session, nextCall, path, 50, kLicencesResultats, parseAaaammjj("20100701")));
    EXPECT_EQ(traceText(),
              "Warning Ligne n° : 1.\nCode club (FRA5120750001) inconnu de la base. Création avec Le libelle Null.\n"
              "Erreur Ligne n° : 1.\nImport des licences interrompu.\nErreur n° 13: Incompatibilité de type\n\n"
              // the results import first reports the line's own message, empty here
              "Erreur Ligne n° : 1.\n\n"
              "Erreur Ligne n° : 1.\nImport des licences interrompu.\nErreur n° 13: Incompatibilité de type\n\n");
    EXPECT_EQ(db().lValeurScalaire("select count(*) from Licence where Licence = '951234'"), 0);
}

TEST_F(LicenceImport, ReferenceSwimmerIsFoundOrCreated) {
    std::string existing = strNageurReference(db());
    EXPECT_EQ(rows("select Nom from Licence where Num = " + existing), std::vector<std::string>{"Null"});
    db().execute("DELETE FROM Licence");
    std::string created = strNageurReference(db());
    EXPECT_EQ(rows("select Code_Club, Licence, Nom, Visible, Date_suppr from Licence where Num = " + created),
              std::vector<std::string>{"FRA0000000000|1|Null|0|"});
    EXPECT_EQ(strNageurReference(db()), created);
}

}  // namespace
}  // namespace couloir::test
