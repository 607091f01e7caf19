#pragma once
// How the Clipboard operations read the lines of a bones section.
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

// A key line has a frame number other than 0 and a "." somewhere.
inline bool IsKeyLine(std::string_view line) { return FrameNumberOfLine(line) != 0 && ContainsPoint(line); }

// Walking up from line `top` to BonesLine, replaces each count mark by the number
// of lines with a non-zero frame number between it and the next mark below.
void RecountKeys(LineSet& set, int64_t top);

}  // namespace vandrel
