#include "competition_files/field_formats.h"

#include "shared/interchange_formats.h"
#include "shared/text_date.h"

namespace couloir::vandrule {

std::string twoDigitEventCode(std::string_view code) { return zeroPadded(trim(code).empty() ? "0" : code, 2); }

bool isTrue(std::string_view value) { return equalsNoCase(trim(value), "true") || numericValue(value) != 0; }

std::string strDebutSaison(std::string_view longDate) { return seasonStart(parseLongDate(longDate)); }

}  // namespace couloir::vandrule
