#include "competition_files/record.h"

#include "shared/text_date.h"

namespace couloir::vandrule {

Record::Record(const Widths& widths) : widths_(widths) {
    fields_.reserve(widths.size());
    for (int width : widths) fields_.push_back(strCadrerGauche({}, width));
}

Record& Record::left(int field, std::string_view text) {
    fields_.at(field) = strCadrerGauche(text, widths_.at(field));
    return *this;
}

Record& Record::right(int field, std::string_view text) {
    fields_.at(field) = strCadrerDroite(text, widths_.at(field));
    return *this;
}

std::string Record::text() const {
    std::string line;
    for (const auto& field : fields_) line += field;
    return line;
}

}  // namespace couloir::vandrule
