#pragma once
// Bone identity: two bones are the same when their rest lines are the same text.
#include "model/ModelSlot.h"

namespace vandrel {

// Records each bone's stripped rest line in LoadedRestLines, then nudges the last
// six characters of duplicates (...000000, ...000001, ...) until every bone's rest
// line is unique; only then are the rest lines rewritten in memory.
void MakeRestLinesUnique(ModelSlot& slot);

// The adjusted text of a duplicate: its last six characters count up by one.
std::string NextRestLineText(const std::string& text);

}  // namespace vandrel
