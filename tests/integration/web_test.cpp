// couloir serve's JSON API against a real server: access, uploads, the dry
// run and the import, one operation at a time, downloads.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <thread>

#include "meet_fixture.h"
#include "report_support.h"
#include "serve_process.h"
#include "shared/database.h"
#include "test_support.h"

namespace couloir::test {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

// The files of a folder (those named, or all) as a multipart form, with the operation's fields.
httplib::MultipartFormDataItems meetForm(const std::string& folder, httplib::MultipartFormDataItems fields,
                                         const std::vector<std::string>& only = {}) {
    for (const auto& file : fs::directory_iterator(folder)) {
        std::string name = file.path().filename().string();
        if (only.empty() || std::find(only.begin(), only.end(), name) != only.end())
            fields.push_back({"files", readBytes(file.path().string()), name, "text/plain"});
    }
    return fields;
}

const std::vector<std::string> kLicenceFiles = {"licence.txt", "club.txt", "origine.txt"};

// The operation once it has ended.
json waitFor(httplib::Client& client, const std::string& id) {
    for (int i = 0; i < 600; ++i) {
        auto response = client.Get(("/api/operations/" + id).c_str());
        if (!response || response->status != 200) break;
        json detail = json::parse(response->body);
        if (detail["status"] != "running") return detail;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ADD_FAILURE() << "operation " << id << " did not end";
    return {};
}

std::string started(const httplib::Result& response) {
    EXPECT_TRUE(response);
    if (!response) return {};
    EXPECT_EQ(response->status, 202) << response->body;
    return json::parse(response->body).value("id", "");
}

class Web : public ::testing::Test {
protected:
    void SetUp() override {
        db_ = createClubDatabase(db_);
        for (const auto& file : fs::directory_iterator(COULOIR_SOURCE_DIR "/samples/competition"))
            fs::copy_file(file.path(), meet_ + "/" + file.path().filename().string());
    }

    FixedNow now_{"2026-03-10T18:30:05"};
    ScratchDir dir_;
    std::string db_ = dir_.file("club.db"), meet_ = dir_.sub("meet");
};

TEST_F(Web, AnswersOnlyTheTokenHolder) {
    ServeProcess server(db_);
    httplib::Client anonymous = server.anonymous();
    auto refused = anonymous.Get("/api/summary");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 401);
    EXPECT_NE(json::parse(refused->body)["error"].get<std::string>().find("Accès refusé"), std::string::npos);
    EXPECT_EQ(anonymous.Get("/")->status, 401);
    EXPECT_EQ(anonymous.Get("/api/summary?token=0123456789abcdef0123456789abcdef")->status, 401);

    // The first address sets the cookie and leaves the token out of the address bar.
    auto first = anonymous.Get(("/?token=" + server.token()).c_str());
    ASSERT_TRUE(first);
    EXPECT_EQ(first->status, 303);
    std::string cookie = first->get_header_value("Set-Cookie");
    EXPECT_NE(cookie.find("HttpOnly"), std::string::npos);
    EXPECT_NE(cookie.find("SameSite=Strict"), std::string::npos);
    auto page = anonymous.Get("/", {{"Cookie", cookie.substr(0, cookie.find(';'))}});
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_NE(page->body.find("<html lang=\"fr\">"), std::string::npos);
    EXPECT_NE(page->get_header_value("Content-Security-Policy").find("script-src 'self'"), std::string::npos);

    httplib::Client client = server.client();
    auto summary = client.Get("/api/summary");
    ASSERT_EQ(summary->status, 200);
    EXPECT_EQ(json::parse(summary->body)["competitions"], 0);
    EXPECT_EQ(json::parse(summary->body)["version"], COULOIR_VERSION);

    // A page of another site may not start anything, even with the token.
    auto foreign = client.Post("/api/operations", {{"Origin", "http://evil.example"}},
                               meetForm(meet_, {{"kind", "import-licences", "", ""}}, kLicenceFiles));
    EXPECT_EQ(foreign->status, 403);
}

TEST_F(Web, ChecksThenImportsAnUploadedMeet) {
    ServeProcess server(db_);
    httplib::Client client = server.client();
    auto before = contentOf(db_);
    httplib::MultipartFormDataItems fields = {
        {"kind", "import-results", "", ""}, {"competition", "1", "", ""}, {"new", "1", "", ""}};
    httplib::MultipartFormDataItems dryFields = fields;
    dryFields.push_back({"dry_run", "1", "", ""});

    std::string dryId = started(client.Post("/api/operations", meetForm(meet_, dryFields)));
    json dry = waitFor(client, dryId);
    EXPECT_EQ(dry["status"], "succeeded");
    EXPECT_TRUE(dry["dry_run"].get<bool>());
    EXPECT_EQ(contentOf(db_), before);  // nothing kept
    writeBytes(dir_.file("dry.json"), dry["report"].dump());
    EXPECT_TRUE(matchesSchema(dir_.file("dry.json")));
    EXPECT_NE(dry["trace"].get<std::string>().find("Simulation : aucune modification"), std::string::npos);

    std::string realId = started(client.Post("/api/operations", meetForm(meet_, fields)));
    json real = waitFor(client, realId);
    EXPECT_EQ(real["status"], "succeeded");
    EXPECT_EQ(comparablePart(dry["report"]).dump(), comparablePart(real["report"]).dump());
    writeBytes(dir_.file("real.json"), real["report"].dump());
    EXPECT_TRUE(matchesSchema(dir_.file("real.json")));

    json competitions = json::parse(client.Get("/api/competitions")->body);
    ASSERT_EQ(competitions.size(), 1u);
    EXPECT_EQ(competitions[0]["results"], "763");
    json competition = json::parse(client.Get("/api/competitions/1")->body);
    ASSERT_FALSE(competition["events"].empty());
    const json& winner = competition["events"][0]["results"][0];
    EXPECT_EQ(winner["place"], 1);
    EXPECT_EQ(winner["time"].get<std::string>().find(':'), 1u);  // m:ss.cc
    json swimmer = json::parse(client.Get(("/api/swimmers/" + winner["swimmer"].get<std::string>()).c_str())->body);
    EXPECT_FALSE(swimmer["best"].empty());
    EXPECT_FALSE(swimmer["history"].empty());
    EXPECT_EQ(client.Get("/api/competitions/99")->status, 404);

    // The events replay the whole operation, from its first trace line to its end.
    auto events = client.Get(("/api/operations/" + realId + "/events").c_str());
    ASSERT_TRUE(events);
    EXPECT_EQ(events->get_header_value("Content-Type"), "text/event-stream");
    EXPECT_NE(events->body.find("\"type\":\"progress\""), std::string::npos);
    EXPECT_NE(events->body.find("Début de l'import"), std::string::npos);
    EXPECT_NE(events->body.find("\"type\":\"end\""), std::string::npos);
}

TEST_F(Web, RefusesFilesItWasNotAskedFor) {
    ServeProcess server(db_);
    httplib::Client client = server.client();
    auto post = [&](const std::string& name) {
        return client.Post("/api/operations", httplib::MultipartFormDataItems{
                                                  {"kind", "import-licences", "", ""},
                                                  {"files", "contenu", name, "text/plain"}});
    };
    for (const char* name : {"../../evil.txt", "notes.doc", "prres.txt", "/etc/passwd"}) {
        auto response = post(name);
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, 400) << name;
        EXPECT_NE(json::parse(response->body)["error"].get<std::string>().find("Fichier refusé"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(dir_.path().parent_path() / "evil.txt"));
    // A path the browser sends is cut to its base name; the case does not matter.
    std::string id = started(client.Post("/api/operations", httplib::MultipartFormDataItems{
                                                                {"kind", "import-licences", "", ""},
                                                                {"files", "", "dossier/LICENCE.TXT", "text/plain"}}));
    EXPECT_FALSE(waitFor(client, id).empty());

    auto unknown = client.Post("/api/operations", httplib::MultipartFormDataItems{{"kind", "format-disk", "", ""}});
    EXPECT_EQ(unknown->status, 400);
    auto noCompetition = client.Post("/api/operations", meetForm(meet_, {{"kind", "import-results", "", ""}}));
    EXPECT_EQ(noCompetition->status, 400);
    auto missing = client.Post("/api/operations", meetForm(meet_, {{"kind", "import-results", "", ""},
                                                                   {"competition", "5", "", ""}}));
    EXPECT_EQ(missing->status, 400);
    EXPECT_NE(json::parse(missing->body)["error"].get<std::string>().find("n'existe pas"), std::string::npos);
}

// While another program holds the database, the operation waits, and a second
// request is told which one runs.
TEST_F(Web, RunsOneOperationAtATime) {
    ServeProcess server(db_, "COULOIR_BUSY_TIMEOUT=20");
    httplib::Client client = server.client();
    auto holder = openDatabase(db_, {});
    holder->begin(Database::Lock::Write);

    std::string id = started(
        client.Post("/api/operations", meetForm(meet_, {{"kind", "import-licences", "", ""}}, kLicenceFiles)));
    auto second =
        client.Post("/api/operations", meetForm(meet_, {{"kind", "import-licences", "", ""}}, kLicenceFiles));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->status, 409);
    json conflict = json::parse(second->body);
    EXPECT_EQ(conflict["running"]["id"], id);
    EXPECT_NE(conflict["error"].get<std::string>().find("déjà en cours"), std::string::npos);

    holder->rollback();
    EXPECT_EQ(waitFor(client, id)["status"], "succeeded");
}

// The page follows an operation through its events for as long as it runs:
// the read deadline bounds the reading of a request, not its answer.
TEST_F(Web, FollowsAnOperationPastTheReadDeadline) {
    ServeProcess server(db_, "COULOIR_BUSY_TIMEOUT=20 COULOIR_WEB_READ_DEADLINE=1");
    httplib::Client client = server.client();
    auto holder = openDatabase(db_, {});
    holder->begin(Database::Lock::Write);  // the operation waits for it

    std::string id = started(
        client.Post("/api/operations", meetForm(meet_, {{"kind", "import-licences", "", ""}}, kLicenceFiles)));
    RawConnection events(server.port());
    events.send("GET /api/operations/" + id + "/events HTTP/1.1\r\nHost: 127.0.0.1\r\nAuthorization: Bearer " +
                server.token() + "\r\n\r\n");
    std::string received = events.receive(std::chrono::milliseconds(2500));
    EXPECT_TRUE(received.starts_with("HTTP/1.1 200")) << received;
    EXPECT_NE(received.find("text/event-stream"), std::string::npos);
    EXPECT_FALSE(events.closed());

    holder->rollback();
    received += events.receive(std::chrono::seconds(60), "\"type\":\"end\"");
    EXPECT_NE(received.find("\"type\":\"end\""), std::string::npos) << received;
    EXPECT_EQ(waitFor(client, id)["status"], "succeeded");
}

// A file of thousands of refused lines: the page follows the first lines
// live, the trace and the report keep them all.
TEST_F(Web, FollowsABoundedNumberOfTraceLinesLive) {
    ServeProcess server(db_);
    httplib::Client client = server.client();
    std::string licences;
    for (int i = 0; i < 6000; ++i) licences += "FRA99999999 ligne trop courte\r\n";
    std::string id = started(client.Post("/api/operations", httplib::MultipartFormDataItems{
                                                                {"kind", "import-licences", "", ""},
                                                                {"files", licences, "licence.txt", "text/plain"}}));
    json detail = waitFor(client, id);
    auto events = client.Get(("/api/operations/" + id + "/events").c_str());
    ASSERT_TRUE(events);
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = events->body.find("\"type\":\"line\"", at)) != std::string::npos; ++at) ++lines;
    EXPECT_EQ(lines, 5001u);
    EXPECT_NE(events->body.find("la suite est dans la trace"), std::string::npos);
    EXPECT_EQ(detail["report"]["steps"].back()["counts"]["errors"], 6000);
    std::size_t traced = 0;
    std::string trace = detail["trace"];
    for (std::size_t at = 0; (at = trace.find("Erreur Ligne n°", at)) != std::string::npos; ++at) ++traced;
    EXPECT_EQ(traced, 6000u);
}

TEST_F(Web, KeepsAnUploadOnDiskNotInMemory) {
    ServeProcess server(db_);
    httplib::Client client = server.client();
#ifdef _WIN32
    // Under Wine the server's first answer costs some 33 MB once, a summary's as much as an upload's:
    // the upload is measured after it.
    client.Get("/api/summary");
#endif
    long before = server.memoryKilobytes("VmHWM");
    std::string large(std::size_t{96} << 20, 'x');
    auto response = client.Post("/api/operations", httplib::MultipartFormDataItems{
                                                       {"kind", "import-licences", "", ""},
                                                       {"files", large, "photo.jpg", "image/jpeg"}});
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 400);
    EXPECT_NE(response->body.find("Fichier refusé : photo.jpg"), std::string::npos) << response->body;
    // 96 MiB went through the server: to a file, a few kilobytes at a time.
    EXPECT_LT(server.memoryKilobytes("VmHWM") - before, 32 * 1024);
}

TEST_F(Web, FindsSwimmersAndClubsFromAFewLettersAccentsAndCaseIgnored) {
    std::string script =
        "INSERT INTO Club (Code_federal, Intitule) VALUES ('FRA5120750001', 'Cercle des Nageurs d''Orly');"
        "INSERT INTO Licence (Num, Code_Club, Licence, Nom, Prenom, Sexe, Date_Naissance, Code_unique)"
        "  VALUES (301, 'FRA5120750001', '090301', 'LE GALL', 'Éloïse', 'F', '20090101', '1234567');"
        "INSERT INTO Licence (Num, Code_Club, Licence, Nom, Prenom, Sexe, Date_Naissance)"
        "  VALUES (302, 'FRA5120750001', '100302', 'MARTIN', 'Inès', 'F', '20100101');";
    for (int i = 0; i < 60; ++i)
        script += "INSERT INTO Licence (Num, Code_Club, Licence, Nom, Prenom, Sexe) VALUES (" + std::to_string(400 + i) +
                  ", 'FRA5120750001', '" + std::to_string(110400 + i) + "', 'DURAND', 'Paul', 'M');";
    runScript(db_, script);
    ServeProcess server(db_);
    httplib::Client client = server.client();
    auto search = [&](const std::string& query) {
        auto response = client.Get("/api/search", httplib::Params{{"q", query}}, httplib::Headers{});
        return response && response->status == 200 ? json::parse(response->body) : json{{"status", response->status}};
    };
    auto numbers = [](const json& found) {
        std::vector<std::string> out;
        for (const auto& swimmer : found["swimmers"]) out.push_back(swimmer["number"]);
        return out;
    };
    using Numbers = std::vector<std::string>;
    EXPECT_EQ(numbers(search("gall elo")), Numbers{"301"});
    EXPECT_EQ(numbers(search("ELOISE")), Numbers{"301"});
    EXPECT_EQ(numbers(search("legall")), Numbers{});  // words start where the name's do
    EXPECT_EQ(numbers(search("inès")), Numbers{"302"});
    EXPECT_EQ(numbers(search("0903")), Numbers{"301"});      // a licence number's start
    EXPECT_EQ(numbers(search("123456")), Numbers{"301"});    // a unique code's start
    json clubs = search("orly");
    ASSERT_EQ(clubs["clubs"].size(), 1u);
    EXPECT_EQ(clubs["clubs"][0]["code"], "FRA5120750001");
    EXPECT_EQ(search("FRA5120750")["clubs"].size(), 1u);
    json many = search("durand paul");
    EXPECT_EQ(many["swimmers"].size(), 50u);
    EXPECT_TRUE(many["more_swimmers"]);
    EXPECT_EQ(search("e")["status"], 400);

    // Another program's change is seen at the next search.
    runScript(db_, "INSERT INTO Licence (Num, Code_Club, Licence, Nom, Prenom) VALUES (303, 'FRA5120750001', '120303', "
                   "'ZOLA', 'Emile');");
    EXPECT_EQ(numbers(search("zola")), Numbers{"303"});
}

TEST_F(Web, AClubsPageGivesItsSwimmersByYearItsCompetitionsAndItsBestTimes) {
    runScript(db_,
              "INSERT INTO Club (Code_federal, Intitule) VALUES ('FRA5120750001', 'Cercle des Nageurs d''Orly');"
              "INSERT INTO Club (Code_federal, Intitule) VALUES ('FRA5120750002', 'Autre club');"
              "INSERT INTO Licence (Num, Code_Club, Licence, Nom, Prenom, Sexe, Date_Naissance) VALUES "
              "  (301, 'FRA5120750001', '090301', 'LE GALL', 'Eloise', 'F', '20090101'),"
              "  (302, 'FRA5120750001', '090302', 'MARTIN', 'Ines', 'F', '20090505'),"
              "  (303, 'FRA5120750001', '100303', 'DURAND', 'Paul', 'M', '20100101'),"
              "  (304, 'FRA5120750002', '100304', 'ZOLA', 'Emile', 'M', '20100101');"
              "INSERT INTO Liffn (Code_epreuve, Num_Lic, Tps, Date_perf, Type_bassin, Lieu) VALUES "
              "  (1, 301, 0.3012, '20260110', 50, 'Orly'), (1, 302, 0.2988, '20260111', 50, 'Paris'),"
              "  (1, 302, 0.2950, '20260112', 25, 'Paris'), (1, 303, 0.2801, '20260112', 50, 'Paris'),"
              "  (1, 304, 0.2500, '20260112', 50, 'Paris');"
              "INSERT INTO Rcomp (AutoNum, Nom, Debut, Fin) VALUES (7, 'Meeting d''Orly', '20260314', '20260315'),"
              "  (8, 'Meeting sans le club', '20260401', '20260401');"
              "INSERT INTO Prres (Num_compet, Code_epreuve, Code_club, Num_Lic, Tps) VALUES "
              "  (7, 1, 'FRA5120750001', 301, 0.3000), (8, 1, 'FRA5120750002', 304, 0.2600);"
              "INSERT INTO Pcomp (Num_compet, Code_epreuve, JourCourse, Type, Nb_finales, Type_finale, Num_ordre) VALUES "
              "  (7, 1, 2, '2', '2', 'C', 1), (7, 2, 1, '1', '', '', 2);");
    ServeProcess server(db_);
    httplib::Client client = server.client();
    auto response = client.Get("/api/clubs/FRA5120750001");
    ASSERT_TRUE(response);
    ASSERT_EQ(response->status, 200) << response->body;
    json club = json::parse(response->body);
    EXPECT_EQ(club["name"], "Cercle des Nageurs d'Orly");
    // Girls of 2009 (two), then boys of 2010; the other club's swimmer is not there.
    ASSERT_EQ(club["swimmers"].size(), 2u);
    EXPECT_EQ(club["swimmers"][0]["sex"], "F");
    EXPECT_EQ(club["swimmers"][0]["year"], "2009");
    EXPECT_EQ(club["swimmers"][0]["swimmers"].size(), 2u);
    EXPECT_EQ(club["swimmers"][1]["year"], "2010");
    ASSERT_EQ(club["competitions"].size(), 1u);
    EXPECT_EQ(club["competitions"][0]["number"], "7");
    // One best per event, pool and sex: the girls' 50 m best is Ines', not Eloise's.
    ASSERT_EQ(club["best"].size(), 3u);
    std::map<std::string, std::string> best;
    for (const auto& record : club["best"])
        best[record["pool"].get<std::string>() + record["sex"].get<std::string>()] =
            record["swimmer"].get<std::string>() + " " + record["time"].get<std::string>();
    EXPECT_EQ(best["50F"], "302 0:29.88");
    EXPECT_EQ(best["25F"], "302 0:29.50");
    EXPECT_EQ(best["50M"], "303 0:28.01");
    EXPECT_EQ(client.Get("/api/clubs/FRA5120759999")->status, 404);

    // The competition's programme in words, by day.
    json competition = json::parse(client.Get("/api/competitions/7")->body);
    ASSERT_EQ(competition["programme"].size(), 2u);
    EXPECT_EQ(competition["programme"][0]["day_words"], "1er jour : samedi 14 mars 2026");
    EXPECT_EQ(competition["programme"][0]["ranking"], "Classement au temps");
    EXPECT_EQ(competition["programme"][1]["day_words"], "2e jour : dimanche 15 mars 2026");
    EXPECT_EQ(competition["programme"][1]["ranking"], "Classement par finales : finales A et B, par catégorie");
}

TEST_F(Web, OperationsAndTheirFieldsComeFromOneTable) {
    ServeProcess server(db_);
    httplib::Client client = server.client();
    json kinds = json::parse(client.Get("/api/kinds")->body);
    std::vector<std::string> names;
    for (const auto& kind : kinds) names.push_back(kind["name"]);
    EXPECT_EQ(names, (std::vector<std::string>{"import-results", "import-skeleton", "import-licences", "update-codes",
                                               "import-perf", "create-files", "export-perf", "merge-swimmers"}));
    // Every operation the page offers is one the command line knows, with the same values.
    for (const auto& kind : kinds) {
        std::string help = runCouloir(kind["name"].get<std::string>() + " --help").output;
        for (const auto& field : kind["fields"]) EXPECT_FALSE(field["label"].get<std::string>().empty());
        EXPECT_EQ(help.find("--dry-run") != std::string::npos, kind["dry_run"].get<bool>()) << kind["name"];
    }
    EXPECT_EQ(kinds[0]["files"][0], "licence.txt");
    EXPECT_EQ(kinds[0]["fields"][0]["type"], "competition");
    EXPECT_TRUE(kinds[0]["fields"][0]["required"]);

    // The same checks on both hosts: a value missing, not a number, or two that do not go together.
    auto refusal = [&](httplib::MultipartFormDataItems form) {
        auto response = client.Post("/api/operations", form);
        return std::to_string(response->status) + " " + json::parse(response->body).value("error", "");
    };
    EXPECT_EQ(refusal({{"kind", "create-files", "", ""}, {"profile", "1", "", ""}}),
              "400 Champ obligatoire manquant : Compétition.");
    EXPECT_EQ(refusal({{"kind", "create-files", "", ""}, {"competition", "1;", "", ""}, {"profile", "1", "", ""}}),
              "400 Compétition : « 1; » n'est pas un nombre entier.");
    EXPECT_EQ(refusal({{"kind", "export-perf", "", ""}}),
              "400 Un club ou tous les clubs doit être choisi (--club CODE ou --all).");
    EXPECT_EQ(refusal({{"kind", "merge-swimmers", "", ""}, {"keep", "12", "", ""}, {"merged", "012", "", ""}}),
              "400 Le nageur gardé et le nageur fusionné sont le même (n° 12).");
    EXPECT_EQ(refusal({{"kind", "export-perf", "", ""}, {"all", "1", "", ""}, {"dry_run", "1", "", ""}}),
              "400 Cette opération ne se vérifie pas d'abord : lancez-la directement.");
    auto command = runCouloir("export-perf " + db_ + " " + dir_.file("out"));
    EXPECT_EQ(command.status, 2);
    EXPECT_NE(command.output.find("un club ou tous les clubs doit être choisi"), std::string::npos) << command.output;
    EXPECT_EQ(runCouloir("export-perf " + db_ + " " + dir_.file("out") + " --club FRA5120750001 --all").status, 2);
    EXPECT_EQ(runCouloir("merge-swimmers " + db_ + " 12 012").status, 2);
    EXPECT_FALSE(fs::exists(dir_.file("out")));
}

// The numbers of the events of a stream, in order.
std::vector<int> eventIds(const std::string& stream) {
    std::vector<int> ids;
    for (std::size_t at = 0; (at = stream.find("id: ", at)) != std::string::npos; at += 4)
        ids.push_back(std::stoi(stream.substr(at + 4)));
    return ids;
}

TEST_F(Web, AReconnectingPageGetsTheEventsItMissedAndNoneTwice) {
    ServeProcess server(db_);
    httplib::Client client = server.client();
    std::string id = started(client.Post("/api/operations", meetForm(meet_, {{"kind", "import-results", "", ""},
                                                                             {"competition", "1", "", ""},
                                                                             {"new", "1", "", ""}})));
    waitFor(client, id);
    std::string path = "/api/operations/" + id + "/events";
    auto whole = client.Get(path.c_str());
    ASSERT_TRUE(whole);
    std::vector<int> all = eventIds(whole->body);
    ASSERT_GT(all.size(), 5u);
    for (std::size_t i = 0; i < all.size(); ++i) ASSERT_EQ(all[i], static_cast<int>(i + 1));

    // The browser sends the last number it had when it reconnects.
    auto resumed = client.Get(path.c_str(), httplib::Headers{{"Last-Event-ID", "3"}});
    ASSERT_TRUE(resumed);
    std::vector<int> rest = eventIds(resumed->body);
    EXPECT_EQ(rest, std::vector<int>(all.begin() + 3, all.end()));
    EXPECT_EQ(whole->body.substr(whole->body.find("id: 4\n")), resumed->body.substr(resumed->body.find("id: 4\n")));
}

TEST_F(Web, ListsTheSwimmersStoredTwiceAndMergesThemAfterACheck) {
    runScript(db_,
              "INSERT INTO Licence (Num, Code_Club, Licence, Nom, Prenom, Sexe, Date_Naissance)"
              "  VALUES (201, 'FRA0512345001', '090001', 'ROUX', 'Inès', 'F', '20090101');"
              "INSERT INTO Licence (Num, Code_Club, Licence, Nom, Prenom, Sexe, Date_Naissance)"
              "  VALUES (202, 'FRA0599999001', '090002', 'Roux', 'Ines', 'F', '20090101');"
              "INSERT INTO Liffn (Code_epreuve, Date_perf, Num_Lic, Tps, Num_compet) VALUES (1, '20261101', 202, 31.5, 1);");
    ServeProcess server(db_);
    httplib::Client client = server.client();
    auto groups = [&] { return json::parse(client.Get("/api/duplicates")->body)["groups"]; };
    ASSERT_EQ(groups().size(), 1u);
    EXPECT_EQ(groups()[0]["confidence"], "high");
    EXPECT_EQ(groups()[0]["swimmers"][1]["performances"], 1);

    auto merge = [&](const char* merged, bool dryRun) {
        httplib::MultipartFormDataItems form = {
            {"kind", "merge-swimmers", "", ""}, {"keep", "201", "", ""}, {"merged", merged, "", ""}};
        if (dryRun) form.push_back({"dry_run", "1", "", ""});
        return client.Post("/api/operations", form);
    };
    auto same = merge("201", false);
    ASSERT_TRUE(same);
    EXPECT_EQ(same->status, 400);

    json check = waitFor(client, started(merge("202", true)));
    EXPECT_EQ(check["status"], "succeeded") << check["trace"];
    EXPECT_EQ(check["report"]["steps"][0]["counts"]["performances_moved"], 1);
    EXPECT_EQ(groups().size(), 1u);

    json done = waitFor(client, started(merge("202", false)));
    EXPECT_EQ(done["status"], "succeeded") << done["trace"];
    EXPECT_TRUE(groups().empty());
    EXPECT_EQ(openForCheck(db_)->lValeurScalaire(sql("select count(*) from Liffn where Num_Lic = 201")), 1);

    // The listing is kept between requests, yet another program's changes
    // show at the next one: a new twin, then a unique code given to both.
    runScript(db_, "INSERT INTO Licence (Num, Code_Club, Licence, Nom, Prenom, Sexe, Date_Naissance)"
                   "  VALUES (203, 'FRA0512345001', '100003', 'PETIT', 'Jules', 'M', '20100101'),"
                   "  (204, 'FRA0599999001', '100004', 'MOREAU', 'Jules', 'M', '20110101');");
    EXPECT_TRUE(groups().empty());
    runScript(db_, "UPDATE Licence SET Code_unique = '7654321' WHERE Num IN (203, 204);");
    ASSERT_EQ(groups().size(), 1u);
    EXPECT_EQ(groups()[0]["confidence"], "certain");
}

TEST_F(Web, DownloadsTheWrittenFilesOneByOneOrZipped) {
    std::string db = dir_.file("fixture.db");
    createDatabase(db, clubDatabaseScript() + "\n" + readBytes(COULOIR_SOURCE_DIR "/samples/club_fixture.sql"));
    ServeProcess server(db);
    httplib::Client client = server.client();
    std::string id = started(client.Post("/api/operations", httplib::MultipartFormDataItems{
                                                                {"kind", "create-files", "", ""},
                                                                {"competition", "7", "", ""},
                                                                {"profile", "1", "", ""}}));
    json detail = waitFor(client, id);
    ASSERT_EQ(detail["status"], "succeeded") << detail["trace"];
    ASSERT_EQ(detail["files"].size(), 8u);

    // The same bytes as the command line writes.
    std::string out = dir_.file("out");
    ASSERT_EQ(runCouloir("create-files " + db + " " + out + " --competition 7 --profile 1 --quiet --trace " +
                         dir_.file("t.txt"))
                  .status,
              0);
    for (const auto& name : detail["files"]) {
        auto file = client.Get(("/api/operations/" + id + "/files/" + name.get<std::string>()).c_str());
        ASSERT_TRUE(file);
        ASSERT_EQ(file->status, 200) << name;
        EXPECT_EQ(file->body, readBytes(out + "/" + name.get<std::string>())) << name;
    }
    auto zip = client.Get(("/api/operations/" + id + "/files.zip").c_str());
    ASSERT_EQ(zip->status, 200);
    EXPECT_EQ(zip->body.substr(0, 2), "PK");
    EXPECT_NE(zip->body.find("Licence.txt"), std::string::npos);
    EXPECT_EQ(client.Get(("/api/operations/" + id + "/files/..%2Ftrace.txt").c_str())->status, 404);
    EXPECT_EQ(client.Get(("/api/operations/" + id + "/files/trace.txt").c_str())->status, 404);
}

}  // namespace
}  // namespace couloir::test
