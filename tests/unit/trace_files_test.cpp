#include <gtest/gtest.h>
#include <sys/stat.h>

#include "shared/error.h"
#include "shared/files.h"
#include "shared/progress.h"
#include "shared/trace.h"
#include "test_support.h"

namespace couloir {
namespace {

TEST(Trace, MessageShapesAndPlurals) {
    test::ScratchDir dir;
    std::string path = dir.file("trace.txt");
    {
        Trace trace(path);
        trace.EcrireLigneErreur(12, "Le code club est erronné : X", "Warning");
        Error pending(3021, "Aucun enregistrement");
        trace.EcrireErreur("Erreur lors de l'importation des résultats. Import annulé.", 0, &pending);
        trace.EcrireErreur("Import des licences interrompu.", 7, &pending);
        trace.EcrireErreur("Sans erreur en cours", 0);
        trace.EcrirePluriel(0, "known", "0 club<PLURIEL> déjà connu<PLURIEL>.");
        trace.EcrirePluriel(1, "created", "1 club<PLURIEL>");
        trace.EcrirePluriel(3, "created", "3 club<PLURIEL> ajouté<PLURIEL>");
        trace.EcrirePluriel(-2, "errors", "-2 entrée<PLURIEL>");
    }
    EXPECT_EQ(test::readText(path),
              "Warning Ligne n° : 12.\nLe code club est erronné : X\n"
              "Erreur lors de l'importation des résultats. Import annulé.\nErreur n° 3021: Aucun enregistrement\n"
              "Erreur Ligne n° : 7.\nImport des licences interrompu.\nErreur n° 3021: Aucun enregistrement\n"
              "Sans erreur en cours\n"
              "0 club déjà connu.\n1 club\n3 clubs ajoutés\n-2 entrée\n");
    // Windows-1252 bytes with CR LF.
    EXPECT_NE(test::readBytes(path).find("n\xB0 : 12.\r\n"), std::string::npos);
}

TEST(Trace, ReopeningTruncates) {
    test::ScratchDir dir;
    std::string path = dir.file("trace.txt");
    { Trace(path).write("premier appel"); }
    { Trace(path).write("second appel"); }
    EXPECT_EQ(test::readText(path), "second appel\n");
    EXPECT_FALSE(Trace(dir.file("no/such/folder/trace.txt")).isOpen());
}

TEST(Trace, ATraceSentToADeviceLeavesTheDeviceAsItWas) {
#ifdef _WIN32
    GTEST_SKIP() << "POSIX file modes";
#else
    struct stat before {}, after {};
    ASSERT_EQ(::stat("/dev/null", &before), 0);
    { Trace("/dev/null").write("rien"); }
    ASSERT_EQ(::stat("/dev/null", &after), 0);
    if (after.st_mode != before.st_mode) ::chmod("/dev/null", before.st_mode & 07777);  // put the machine right
    EXPECT_EQ(after.st_mode, before.st_mode);
#endif
}

TEST(Trace, AnExistingTraceFileIsMadeOwnerOnly) {
    if (test::runsUnderWine())
        GTEST_SKIP() << "Wine's SetSecurityInfo on an existing file widens its Unix mode instead of replacing its list";
    test::ScratchDir dir;
    std::string file = dir.file("trace.txt");
    test::writeBytes(file, "");
#ifndef _WIN32
    ::chmod(file.c_str(), 0644);
#endif
    ASSERT_FALSE(test::isOwnerOnly(file));
    { Trace(file).write("appel"); }
    EXPECT_TRUE(test::isOwnerOnly(file));
}

TEST(Trace, EchoedBytesAlwaysDecodeAsWindows1252) {
    test::ScratchDir dir;
    std::string path = dir.file("trace.txt");
    {
        Trace trace(path);
        // What a junk line brings: control characters, a lone CR, undefined code points, DEL.
        trace.write("ligne \x01\x1b[2J\rfin\x7f \u0081\u008d\u008f\u0090\u009d\tok\r\nsuite é");
    }
    EXPECT_EQ(test::readBytes(path), "ligne ??[2J?fin? ?????\tok\r\nsuite \xE9\r\n");
}

TEST(Files, AFirstLineTooLongToMeasureNamesItsFile) {
    test::ScratchDir dir;
    test::writeBytes(dir.file("prres.txt"), std::string(1 << 20, 'x') + "\r\n");
    try {
        iLongueurLigne(dir.file("prres.txt"));
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errors::kOverflow);
        EXPECT_EQ(e.description(), "Dépassement de capacité : la ligne 1 du fichier prres.txt compte 1048576 caractères");
    }
}

TEST(Files, PathJoiningAndCaseInsensitiveLookup) {
    test::ScratchDir dir;
    std::string root = dir.path().string();
    EXPECT_EQ(strCheminFichier("/a/b", "club.txt"), "/a/b/club.txt");
    EXPECT_EQ(strCheminFichier("/a/b/", "club.txt"), "/a/b/club.txt");
    EXPECT_EQ(strCheminFichier("C:\\rep\\", "club.txt"), "C:\\rep\\club.txt");
    test::writeBytes(dir.file("Origine.txt"), "Lorvantide\r\n");
#ifdef _WIN32
    // The system finds a name in any case: the name asked for is the file's.
    EXPECT_EQ(strCheminFichier(root, "origine.txt"), root + "/origine.txt");
#else
    EXPECT_EQ(strCheminFichier(root, "origine.txt"), root + "/Origine.txt");
#endif
    EXPECT_TRUE(bLecteurPret(root));
    EXPECT_FALSE(bLecteurPret(root + "/absent"));
}

TEST(Files, LineCountEstimateAndShortRecordWarning) {
    test::ScratchDir dir;
    std::string club = dir.file("club.txt");
    Trace trace(dir.file("trace.txt"));
    test::writeBytes(club, std::string(41, 'x') + "\r\n" + std::string(41, 'y') + "\r\n");
    EXPECT_EQ(iLongueurLigne(club), 43);
    EXPECT_EQ(lVerifierLongueur(trace, club, 43), 2);
    test::writeBytes(club, std::string(40, 'x'));  // one line, no final CR LF
    EXPECT_EQ(lVerifierLongueur(trace, club, 43), 1);
    // A copy that came through empty, or holding only the DOS end-of-file mark, has no line to measure.
    for (const char* empty : {"", "\x1A"}) {
        test::writeBytes(club, empty);
        try {
            lVerifierLongueur(trace, club, 43);
            ADD_FAILURE() << "an empty file was measured";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), errors::kPastEndOfFile);
            EXPECT_EQ(e.description(), "Le fichier club.txt est vide : il ne contient aucune ligne");
        }
    }
    EXPECT_EQ(lVerifierLongueur(trace, dir.file("absent.txt"), 43), 0);
    test::writeBytes(club, "ab\r\n");  // 6 bytes / 4: 1.5 rounds to 2, halves to even
    test::writeBytes(dir.file("half.txt"), "ab\r\nab");
    EXPECT_EQ(lVerifierLongueur(trace, dir.file("half.txt"), 4), 2);
    trace.close();
    std::string text = test::readText(dir.file("trace.txt"));
    EXPECT_EQ(text,
              "Warning Les lignes dans le fichier club.txt n'ont pas la longueur requise.\n"
              "Les informations pourront être incomplètes.\n\n");
}

TEST(Files, WorkingCopiesGetFreeNames) {
    test::ScratchDir dir;
    std::string source = dir.sub("source"), temp = dir.sub("temp");
    std::string path = source + "/club.txt";
    test::writeBytes(path, "x\r\n");
    Trace trace(dir.file("trace.txt"));
    std::string first = path, second = path;
    ASSERT_TRUE(bFichierPresent(trace, first, temp));
    ASSERT_TRUE(bFichierPresent(trace, second, temp));
    EXPECT_EQ(first, temp + "/club.txt");
    EXPECT_EQ(second, temp + "/club1.txt");
    std::string missing = source + "/prres.txt";
    EXPECT_FALSE(bFichierPresent(trace, missing, temp));
    EXPECT_EQ(missing, "");
    trace.close();
    EXPECT_EQ(test::readText(dir.file("trace.txt")), "Fichier prres.txt non trouvé dans le répertoire : " + source + "\n");
}

TEST(Files, OriginEcho) {
    test::ScratchDir dir;
    Trace trace(dir.file("trace.txt"));
    test::writeBytes(dir.file("origine.txt"), "Lorvantide\r\nignored\r\n");
    LireOrigine(trace, dir.file("origine.txt"));
    LireOrigine(trace, dir.file("absent.txt"));
    test::writeBytes(dir.file("empty.txt"), "");
    LireOrigine(trace, dir.file("empty.txt"));
    trace.close();
    EXPECT_EQ(test::readText(dir.file("trace.txt")),
              "Données source générées par l'application : Lorvantide\n\n"
              "Données source générées par l'application : \nFichier origine.txt non disponible\n\n"
              "Une erreur s'est produite lors de la lecture du fichier origine.txt\n"
              "Erreur n° 62: Entrée au-delà de la fin du fichier\n");
}

TEST(Files, LineReaderDecodesAndKeepsJunkHarmless) {
    test::ScratchDir dir;
    test::writeBytes(dir.file("f.txt"), std::string("H\x82l\x8Ane\r\nA\0B\xFF\n\rlast", 18));
    LineReader reader(dir.file("f.txt"));
    std::string line;
    ASSERT_TRUE(reader.next(line, true));
    EXPECT_EQ(line, "Hélène");
    ASSERT_TRUE(reader.next(line, false));
    EXPECT_EQ(line, std::string("A\0Bÿ", 5));
    ASSERT_TRUE(reader.next(line, false));
    EXPECT_EQ(line, "\rlast");
    EXPECT_FALSE(reader.next(line, false));
}

struct RecordingForm {
    double value = 0;
    std::string title;
    int refreshes = 0;
    couloir_form form{this,
                      [](void* c, const char* member, int index, const char* text) {
                          if (std::string(member) != "Lb_message" || index != 2) return 1;
                          static_cast<RecordingForm*>(c)->title = text;
                          return 0;
                      },
                      nullptr,
                      [](void* c, const char*, double* v) {
                          *v = static_cast<RecordingForm*>(c)->value;
                          return 0;
                      },
                      [](void* c, const char*, double v) {
                          static_cast<RecordingForm*>(c)->value = v;
                          return 0;
                      },
                      [](void* c, const char* member) {
                          if (std::string(member) != "Refresh") return 1;
                          ++static_cast<RecordingForm*>(c)->refreshes;
                          return 0;
                      },
                      nullptr,
                      0,
                      nullptr};
};

TEST(Progress, StepsAndBarStopAtHundred) {
    test::ScratchDir dir;
    Trace trace(dir.file("trace.txt"));
    RecordingForm host;
    host.value = 40;
    Form form(&host.form);
    AfficherEtape(form, trace, "Fichier club.txt", "Traitement des clubs");
    EXPECT_EQ(host.title, "Fichier club.txt");
    EXPECT_EQ(host.value, 0);
    EXPECT_EQ(host.refreshes, 1);
    for (int i = 0; i < 3; ++i) AvancerProgression(form, 100.0 / 3);
    EXPECT_DOUBLE_EQ(host.value, 100);
    AvancerProgression(form, 100.0 / 3);
    EXPECT_DOUBLE_EQ(host.value, 100);
    // A member the host lacks is the "member not found" error.
    try {
        form.setCaption("lb_club", 0, "x");
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errors::kMemberNotFound);
    }
    Form none(nullptr);
    EXPECT_NO_THROW(AfficherEtape(none, trace, "t", "x"));
}

}  // namespace
}  // namespace couloir
