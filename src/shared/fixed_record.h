// A fixed-width record being written: every field starts blank and holds its
// text justified to the field's width, in the field's own storage, so that a
// field set once serves many lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace couloir {

// The widths in characters of a record's fields, in file order.
using Widths = std::vector<int>;

class FixedRecord {
public:
    explicit FixedRecord(const Widths& widths);

    // The text cut to the field's width, or padded with blanks after it (strCadrerGauche).
    FixedRecord& left(int field, std::string_view text);
    // The text cut to the field's width, or padded with blanks before it (strCadrerDroite).
    FixedRecord& right(int field, std::string_view text);
    // The fields side by side, exactly as wide as the layout.
    const std::string& text();

private:
    enum class Side { Left, Right };
    FixedRecord& justify(int field, std::string_view text, Side side);

    const Widths& widths_;
    std::vector<std::string> fields_;  // each justified to its width
    std::string line_;
};

}  // namespace couloir
