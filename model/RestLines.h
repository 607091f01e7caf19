#pragma once
// Bone identity: two bones are the same when their rest lines are the same text.
#include <optional>
#include <string>
#include <string_view>

#include "model/ModelSlot.h"

namespace vandrel {

// Records each bone's stripped rest line in LoadedRestLines, spells its numbers
// alike (NormalRestLine), then nudges the last six characters of duplicates
// (...000000, ...000001, ...) until every bone's rest line is unique. When that
// changed any line, the rest lines are rewritten in memory and RestLinesAdjusted
// is set, so that a save writes the recorded lines back.
void MakeRestLinesUnique(ModelSlot& slot);

// A rest line of seven blank-separated fields whose last six are decimal numbers
// (optional sign, digits with at most one point, optional exponent), as its
// first field and the six numbers written "%.6f" (a negative zero as 0.000000),
// one blank apart. Exporters spell the same rest pose "0 0 0 0 0 -0 0" and
// "0 0.000000 ..."; held alike, the same bone matches across files. None for
// any other text.
std::optional<std::string> NormalRestLine(std::string_view text);

// The adjusted text of a duplicate: its last six characters count up by one.
std::string NextRestLineText(const std::string& text);

}  // namespace vandrel
