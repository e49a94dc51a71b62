#include "shared/fixed_record.h"

#include "shared/interchange_encoding.h"
#include "shared/text_date.h"

namespace couloir {
namespace {
// A width below one makes an empty field, as strCadrerGauche makes it.
std::size_t characters(int width) { return static_cast<std::size_t>(width > 0 ? width : 0); }
}  // namespace

FixedRecord::FixedRecord(const Widths& widths) : widths_(widths) {
    fields_.reserve(widths.size());
    for (int width : widths) fields_.emplace_back(characters(width), ' ');
}

FixedRecord& FixedRecord::left(int field, std::string_view text) { return justify(field, text, Side::Left); }

FixedRecord& FixedRecord::right(int field, std::string_view text) { return justify(field, text, Side::Right); }

FixedRecord& FixedRecord::justify(int field, std::string_view original, Side side) {
    // Widths count the characters as they will be written.
    std::string replaced;
    std::string_view text = original;
    if (needsInterchangeText(original)) {
        replaced = interchangeText(original);
        text = replaced;
    }
    // strCadrerGauche or strCadrerDroite, into the field's own storage: a
    // line may be built for every row of a large table.
    auto slot = static_cast<std::size_t>(field);
    std::size_t width = characters(widths_.at(slot));
    std::string& justified = fields_.at(slot);
    std::size_t length = charCount(text);
    if (length >= width) {
        justified.assign(charSubstr(text, 0, width));
    } else if (side == Side::Left) {
        justified.assign(text);
        justified.append(width - length, ' ');
    } else {
        justified.assign(width - length, ' ');
        justified.append(text);
    }
    return *this;
}

const std::string& FixedRecord::text() {
    line_.clear();
    for (const auto& field : fields_) line_ += field;
    return line_;
}

}  // namespace couloir
