// How database values become the texts of the interchange files.
#pragma once

#include <string>
#include <string_view>

namespace couloir::vandrule {

// An event code on two digits: 5 -> "05", 12 -> "12".
std::string twoDigitEventCode(std::string_view code);
// A boolean column read as text ("1", "-1", "true") is true.
bool isTrue(std::string_view value);
// The season a long-form date falls in, as its first day "1609" + year:
// seasons start on 16 September. A text that is no date is a type mismatch.
std::string strDebutSaison(std::string_view longDate);

}  // namespace couloir::vandrule
