// The formatting rules the writers share with the readers of their files.
#include <gtest/gtest.h>

#include "shared/interchange_formats.h"

namespace couloir {
namespace {

using namespace std::chrono;

TEST(InterchangeFormats, RelayTeamsByTheirEventsSex) {
    EXPECT_EQ(relayLicence(relayKind("M"), "1"), "R1001F");
    EXPECT_EQ(relayLicence(relayKind("F"), "12"), "R2012F");
    EXPECT_EQ(relayLicence(relayKind(""), "999"), "R3999F");
    // Compared as given: a reader that accepts other spellings normalizes first.
    EXPECT_STREQ(relayKind("m").code, "R3");
    EXPECT_EQ(relayName(relayKind("F"), " 3 "), "RELAIS DAMES N° 3");
    EXPECT_EQ(relayName(relayKind("M"), "2"), "RELAIS MESSIEURS N° 2");
    EXPECT_EQ(relayName(relayKind("X"), "7"), "RELAIS MIXTE N° 7");
}

TEST(InterchangeFormats, NumbersOnAFixedCountOfDigits) {
    EXPECT_EQ(zeroPadded("5", 2), "05");
    EXPECT_EQ(zeroPadded("12", 2), "12");
    EXPECT_EQ(zeroPadded("123", 2), "123");  // never cut
    EXPECT_EQ(zeroPadded("4.6", 3), "005");
    EXPECT_EQ(zeroPadded("  ", 2), "");
}

TEST(InterchangeFormats, SeasonsStartOnTheSixteenthOfSeptember) {
    EXPECT_EQ(seasonStart(Date{year{2026}, September, day{15}}), "16092025");
    EXPECT_EQ(seasonStart(Date{year{2026}, September, day{16}}), "16092026");
    EXPECT_EQ(seasonStart(Date{year{2027}, January, day{1}}), "16092026");
    EXPECT_EQ(seasonStart(Date{year{2026}, December, day{31}}), "16092026");
}

}  // namespace
}  // namespace couloir
