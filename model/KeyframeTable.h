#pragma once
// The keyframe list of a model: every frame at which any bone has a key.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/ModelSlot.h"

namespace vandrel {

// Blanks between a keyframe number of `length` characters and its comment.
int RowPadding(size_t length);

// The row text for a keyframe number and a comment: the bare number without one.
std::string RowTextFor(std::string_view number, std::string_view comment);

// The keyframe number of a row, as the model keeps it (32 bits).
inline int32_t FrameNumberOfRow(const KeyframeRow& row);

// The distinct frame numbers of the key lines of the set's bones section,
// position and rotation keys of every bone, ascending.
std::vector<int32_t> KeyedFrames(const LineSet& set);

// Replaces the slot's table with one row, without a comment, per keyed frame.
void BuildKeyframeTable(ModelSlot& slot);

}  // namespace vandrel

#include "model/IntegerValue.h"

namespace vandrel {
inline int32_t FrameNumberOfRow(const KeyframeRow& row) { return Int32(IntegerValue(row.RowText)); }
}  // namespace vandrel
