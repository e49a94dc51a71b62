// A fresh club database opened as the importing libraries open it, a trace,
// a host form that keeps its progress value, and the call's lookup lists,
// for the tests of the club and licence file imports.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shared/run_lists.h"
#include "shared/session.h"
#include "test_support.h"

namespace couloir::test {

class ImportFixture : public ::testing::Test {
protected:
    ImportFixture() {
        createClubDatabase(dir.file("club.db"));
        std::string error;
        if (!connection.bConnexion(dir.file("club.db"), error)) throw std::runtime_error(error);
    }

    Database& db() { return connection.db(); }

    // Writes the lines (UTF-8) as a Windows-1252 interchange file and returns its path.
    std::string file(const std::vector<std::string>& lines, const std::string& name = "data.txt") {
        writeInterchangeFile(dir.file(name), lines);
        return dir.file(name);
    }

    // The whole trace, each line followed by "\n"; closes it.
    std::string traceText() {
        trace.close();
        return readText(dir.file("trace.txt"));
    }

    // The rows of a query, fields joined by "|".
    std::vector<std::string> rows(const std::string& sql) {
        return queryRows(db(), sql);
    }

    static int getValue(void* context, const char*, double* value) {
        *value = *static_cast<double*>(context);
        return 0;
    }
    static int setValue(void* context, const char*, double value) {
        *static_cast<double*>(context) = value;
        return 0;
    }

    ScratchDir dir;
    Trace trace{dir.file("trace.txt")};
    double progress = 0;
    couloir_form host{&progress, nullptr, nullptr, getValue, setValue, nullptr, nullptr, 0, nullptr};
    Form form{&host};
    Connection connection;
    Session session{trace, form, connection};
    RunLists lists;
};

}  // namespace couloir::test
