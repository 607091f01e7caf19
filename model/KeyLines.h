#pragma once
// How the lines of a bones section are read: key lines, their frame numbers and
// the key counts above them.
#include <cstdint>
#include <string_view>

#include "model/IntegerValue.h"
#include "model/Text.h"
#include "model/Workspace.h"

namespace vandrel {

// The count mark put into count lines while keys change.
inline constexpr std::string_view kCountMark = "?";

// The frame number of a line: the integer part of a key's time, kept in 32 bits.
inline int32_t FrameNumberOfLine(std::string_view line) { return Int32(IntegerValue(line)); }

// A key line holds a time and x, y, z: exactly four fields separated by blanks,
// not beginning with a blank or a double quote. Exporters write times below 1
// ("0.735294") and times without a point ("5 0 0 0"); both are keys. Only lines
// inside a bones section are ever asked.
inline bool IsKeyLine(std::string_view line) {
    if (line.empty() || line[0] == ' ' || line[0] == '"') return false;
    int fields = 0;
    bool inField = false;
    for (char c : line) {
        if (c == ' ') {
            inField = false;
        } else if (!inField) {
            inField = true;
            if (++fields > 4) return false;
        }
    }
    return fields == 4;
}

// Walking up from line `top` to BonesLine, replaces each count mark by the number
// of key lines between it and the next mark below (or `top`).
void RecountKeys(LineSet& set, int64_t top);

}  // namespace vandrel
