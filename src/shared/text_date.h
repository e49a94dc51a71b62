// Small pure helpers on texts and dates: date forms, SQL literals, fixed-width
// justification and cutting, numeric reading. Texts are UTF-8 and widths count
// characters.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace couloir {

inline constexpr std::string_view CRLF = "\r\n";

// ---- characters -----------------------------------------------------------
std::size_t charCount(std::string_view utf8);
// The `count` characters from character `start` (0-based); shorter at the end.
std::string_view charSubstr(std::string_view utf8, std::size_t start, std::size_t count);
std::string_view trim(std::string_view text);
std::string toUpperAscii(std::string_view text);
std::string toLowerAscii(std::string_view text);
bool equalsNoCase(std::string_view a, std::string_view b);
// An ASCII letter, a digit or "_": a character of a plain SQL name.
bool isAsciiNameChar(char c);
void replaceAll(std::string& text, std::string_view from, std::string_view to);
std::vector<std::string> split(std::string_view text, char separator);

// Cuts a fixed-width line by walking `widths` from the first character; each
// field is trimmed and text beyond a short line reads as empty.
std::vector<std::string> cutFields(std::string_view line, const std::vector<int>& widths);
// One field of a line as it stands, blanks included (empty past a short line's end).
std::string_view rawField(std::string_view line, const std::vector<int>& widths, std::size_t field);

// ---- numbers ----------------------------------------------------------------
// The leading number of a text (blanks skipped, 0 when there is none), as a
// script language's Val reads it: "01.0523" -> 1.0523, " 12ab" -> 12.
double numericValue(std::string_view text);
// Whether a number is written in the results' notation: digits, optionally
// one point and more digits ("1.0523", "94", "12.").
bool isResultsNotation(std::string_view text);
// The whole part of a value read from the database or a file; a value no
// 64-bit integer holds (or not a number) is a type mismatch.
std::int64_t checkedWhole(double value);
// A time as the interchange files write it, four decimals after a point
// ("65.3" -> "65.3000"); a blank value stays empty.
std::string fourDecimalTime(std::string_view time);
// The shortest decimal text of a value, with a point: 1.0523, 94, 0.3.
std::string shortestDecimal(double value);
// Rounds to the nearest whole number, halves to even.
std::int64_t roundHalfEven(double value);
// A 16-bit whole number; a larger value is an overflow error.
std::int16_t toInt16(std::int64_t value);

// ---- dates ------------------------------------------------------------------
using Date = std::chrono::year_month_day;

std::string strJjmmaaaaVersAaaammjj(std::string_view ddmmyyyy);
bool bDateValide(std::string_view year, std::string_view month, std::string_view day);
std::string strAaaammjjVersJjmmaaaa(std::string_view yyyymmdd);
// Long form of a yyyymmdd text with pattern "dd mmmm yyyy" (the default when
// empty) or "d mmmm yyyy"; empty when the text is not 8 characters. A text that
// is no calendar date is a type-mismatch error.
std::string strDateLongue(std::string_view yyyymmdd, std::string_view pattern = {});
// Reads a long-form date ("05 mars 2026", "5 mars 2026"); type mismatch otherwise.
Date parseLongDate(std::string_view text);
// A yyyymmdd text as a date; type mismatch when it is none.
Date parseYyyymmdd(std::string_view yyyymmdd);
std::string formatYyyymmdd(Date date);
// "dd/mm/yyyy", the form in which a date reads in a message.
std::string shortDate(Date date);
// A text of one or more decimal digits and nothing else.
bool allDigits(std::string_view text);
// Digits after an optional minus sign, nothing else: "12", "-3".
bool isWholeNumber(std::string_view text);
// A row number that may go unquoted into a statement: 1 to 10 digits.
bool isRowNumber(std::string_view text);
// Whole days from `from` to `to`, negative when `to` is earlier; overflow past 16 bits.
std::int16_t iEcartJours(Date from, Date to);
// French month name, lower case: 1 -> "janvier".
std::string_view frenchMonth(unsigned month);

// ---- fixed-width writing ----------------------------------------------------
std::string strCadrerGauche(std::string_view text, int width);
std::string strCadrerDroite(std::string_view text, int width);

}  // namespace couloir
