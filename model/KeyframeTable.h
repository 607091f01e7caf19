#pragma once
// The keyframe list of a model, every frame at which any bone has a key, and the
// rules of its rows: their text, the frame they name, their comment, the side
// file's comments put on them and the merge of pasted rows.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/IntegerValue.h"
#include "model/ModelSlot.h"

namespace vandrel {

// Blanks between a keyframe number of `length` characters and its comment.
int RowPadding(size_t length);

// The row text for a keyframe number and a comment: the number, its padding,
// the comment; the bare number without a comment.
std::string RowTextFor(std::string_view number, std::string_view comment);

// The same, padded even without a comment (as a side file's comment is put on).
std::string PaddedRowText(std::string_view number, std::string_view comment);

// The keyframe number of a row text, as the model keeps it (32 bits, wrapping).
inline int32_t FrameNumberOfText(std::string_view rowText) { return Int32(IntegerValue(rowText)); }
inline int32_t FrameNumberOfRow(const KeyframeRow& row) { return FrameNumberOfText(row.RowText); }

// The comment of a row: the text after its first blank, stripped; empty without a blank.
std::string_view RowComment(std::string_view rowText);
inline std::string_view RowComment(const KeyframeRow& row) { return RowComment(row.RowText); }

// The distinct frame numbers of the key lines of the set's bones section,
// position and rotation keys of every bone, ascending.
std::vector<int32_t> KeyedFrames(const LineSet& set);

// Replaces the slot's table with one row, without a comment, per keyed frame.
void BuildKeyframeTable(ModelSlot& slot);

// Puts the comments of side-file bytes ("index;keyframe;comment;..." lines) on
// the rows whose keyframe numbers they name; the last entry of a number wins.
void ApplyKeyframeSidecar(KeyframeTable& rows, std::string_view sidecarBytes);

// The paste's merge of rows into a table: each new row in turn, from the
// table's last row towards the first, replaces the text of the first row of its
// frame or goes in unselected after the first row of a lower frame (first when
// there is none). MergeRows does the same in one pass over an ascending table.
void MergeRowsOneByOne(KeyframeTable& rows, const KeyframeTable& newRows);
void MergeRows(KeyframeTable& rows, const KeyframeTable& newRows);

}  // namespace vandrel
