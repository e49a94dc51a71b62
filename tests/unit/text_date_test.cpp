#include <gtest/gtest.h>

#include <cmath>

#include "shared/cp1252.h"
#include "shared/error.h"
#include "shared/text_date.h"

namespace couloir {
namespace {

TEST(Dates, DdmmyyyyToYyyymmddChecksPlausibilityOnly) {
    EXPECT_EQ(strJjmmaaaaVersAaaammjj("15031995"), "19950315");
    EXPECT_EQ(strJjmmaaaaVersAaaammjj("00031995"), "");
    EXPECT_EQ(strJjmmaaaaVersAaaammjj("15131995"), "");
    EXPECT_EQ(strJjmmaaaaVersAaaammjj("1503199"), "");
    EXPECT_EQ(strJjmmaaaaVersAaaammjj("        "), "");
    EXPECT_EQ(strJjmmaaaaVersAaaammjj("31022001"), "20010231");  // no check of the month's length
    EXPECT_EQ(strAaaammjjVersJjmmaaaa("20260307"), "07032026");
    EXPECT_EQ(strAaaammjjVersJjmmaaaa("2026030"), "");
}

TEST(Dates, LongFormInFrench) {
    EXPECT_EQ(strDateLongue("20260307"), "07 mars 2026");
    EXPECT_EQ(strDateLongue("20260307", "d mmmm yyyy"), "7 mars 2026");
    EXPECT_EQ(strDateLongue("20261201"), "01 décembre 2026");
    EXPECT_EQ(strDateLongue(""), "");
    EXPECT_THROW(strDateLongue("20010231"), Error);
    Date parsed = parseLongDate("07 février 2026");
    EXPECT_EQ(formatYyyymmdd(parsed), "20260207");
}

TEST(Dates, DayDifferenceIsSignedAndSixteenBit) {
    Date a = parseYyyymmdd("20260228"), b = parseYyyymmdd("20260302");
    EXPECT_EQ(iEcartJours(a, b), 2);
    EXPECT_EQ(iEcartJours(b, a), -2);
    EXPECT_THROW(iEcartJours(parseYyyymmdd("19000101"), parseYyyymmdd("20260101")), Error);
}

TEST(Text, JustificationCountsCharactersNotBytes) {
    EXPECT_EQ(strCadrerGauche("abc", 5), "abc  ");
    EXPECT_EQ(strCadrerDroite("abc", 5), "  abc");
    EXPECT_EQ(strCadrerGauche("abcde", 3), "abc");
    EXPECT_EQ(strCadrerDroite("abcde", 3), "abc");
    EXPECT_EQ(strCadrerGauche("abc", 0), "");
    EXPECT_EQ(strCadrerDroite("", 0), "");
    EXPECT_EQ(strCadrerGauche("Éloïse", 8), "Éloïse  ");
    EXPECT_EQ(strCadrerDroite("Hélène", 4), "Hélè");
}

TEST(Text, CutFieldsTrimsAndReadsPastShortLinesAsEmpty) {
    auto fields = cutFields("FRA5120750001 Club d'Été  ", {13, 30, 4});
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(fields[0], "FRA5120750001");
    EXPECT_EQ(fields[1], "Club d'Été");
    EXPECT_EQ(fields[2], "");
    auto accented = cutFields("éàü12", {1, 2, 2});
    EXPECT_EQ(accented[0], "é");
    EXPECT_EQ(accented[1], "àü");
    EXPECT_EQ(accented[2], "12");
}

TEST(Text, NumericValueReadsTheLeadingNumber) {
    EXPECT_DOUBLE_EQ(numericValue("01.0523"), 1.0523);
    EXPECT_DOUBLE_EQ(numericValue(" 12ab"), 12);
    EXPECT_DOUBLE_EQ(numericValue(""), 0);
    EXPECT_DOUBLE_EQ(numericValue("abc"), 0);
    EXPECT_EQ(shortestDecimal(numericValue("94.0000")), "94");
    EXPECT_EQ(shortestDecimal(numericValue("0.3000")), "0.3");
    EXPECT_EQ(shortestDecimal(numericValue("01.0523")), "1.0523");
    EXPECT_EQ(shortestDecimal(0), "0");
    EXPECT_EQ(numericValue(shortestDecimal(1e64)), 1e64);
    EXPECT_EQ(shortestDecimal(1e64).find('\0'), std::string::npos);
    EXPECT_EQ(shortestDecimal(-1.7976931348623157e308).size(), 310u);
    EXPECT_EQ(checkedWhole(-12.9), -12);
    EXPECT_THROW(checkedWhole(1e19), Error);
    EXPECT_THROW(checkedWhole(std::nan("")), Error);
}

TEST(Text, RoundingGoesHalfToEven) {
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_THROW(toInt16(32768), Error);
}

TEST(Encoding, DosAccentsAreConvertedOnRawBytes) {
    std::string dos = "H\x82l\x8Ane \x87" "a \x86";  // 134 has no replacement
    EXPECT_EQ(decodeCp1252(strConvertirAccents(dos)), "Hélène ça \u2020");
    EXPECT_EQ(strConvertirAccents("plain text"), "plain text");
}

TEST(Encoding, Cp1252RoundTripAndUnmappableCharacters) {
    std::string utf8 = "Début de l'import : € Œ à";
    EXPECT_EQ(decodeCp1252(encodeCp1252(utf8)), utf8);
    EXPECT_EQ(encodeCp1252("é"), "\xE9");
    EXPECT_EQ(encodeCp1252("日"), "?");
    EXPECT_EQ(encodeCp1252("\xC3"), "?");  // truncated sequence
}

}  // namespace
}  // namespace couloir
