// The C string arguments of the public entry points.
#pragma once

#include <string>

namespace couloir {

// A C string argument as text; a null pointer reads as the empty text.
inline std::string text(const char* value) { return value ? value : ""; }

}  // namespace couloir
