// A fixed-width record under construction: every field starts blank and is
// justified to the width its layout gives it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "competition_files/layouts.h"

namespace couloir::vandrule {

class Record {
public:
    explicit Record(const Widths& widths);

    Record& left(int field, std::string_view text);
    Record& right(int field, std::string_view text);
    // The fields side by side, exactly as wide as the layout.
    std::string text() const;

private:
    const Widths& widths_;
    std::vector<std::string> fields_;
};

}  // namespace couloir::vandrule
