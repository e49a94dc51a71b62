// A results-import context on a fresh club database holding competition 7,
// with a trace read back as text and interchange files written in a scratch
// folder, for the tests of the file steps.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "results_import/import_context.h"
#include "test_support.h"

namespace couloir::ombrelay::test {

using namespace couloir::test;

class StepFixture : public ::testing::Test {
protected:
    StepFixture() {
        createClubDatabase(dir.file("club.db"));
        std::string error;
        if (!connection.bConnexion(dir.file("club.db"), error)) throw std::runtime_error(error);
        context.competition = "7";
        db().execute(test::sql("INSERT INTO Rcomp (AutoNum, Nom) VALUES (7, 'Avant import')"));
    }

    Database& db() { return connection.db(); }

    // Writes the lines (UTF-8) as a Windows-1252 interchange file and returns its path.
    std::string file(const std::string& name, const std::vector<std::string>& lines) {
        writeInterchangeFile(dir.file(name), lines);
        return dir.file(name);
    }

    // The whole trace, each line followed by "\n"; closes it.
    std::string traceText() {
        trace.close();
        return readText(dir.file("trace.txt"));
    }

    static bool endsWith(const std::string& text, const std::string& end) {
        return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
    }

    // One row per line, its fields joined by "|".
    std::vector<std::string> rows(const std::string& sql) {
        return queryRows(db(), sql);
    }

    ScratchDir dir;
    Trace trace{dir.file("trace.txt")};
    Form form{nullptr};
    Connection connection{ConnectionOptions{NullText::Empty}};
    Session session{trace, form, connection};
    ImportContext context{session};
};

}  // namespace couloir::ombrelay::test
