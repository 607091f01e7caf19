#pragma once
// Saved states of the workspace, for undo and redo. A state holds both files and
// the Clipboard as they were: lines, indexes, rows with their selection,
// statistics, rest lines, paths. Lines are kept in chunks cut where the lines
// themselves say (not at fixed places), so that a command that removes or
// inserts a few lines changes only the chunks around them: states share every
// other chunk, and every chunk shares its text with the files.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "clipboard/Workspace.h"

namespace vandrel {

// A run of lines, shared by every state that holds it.
struct LineChunk {
    std::vector<std::string_view> views;
    uint64_t hash = 0;
};

// Lines 1 to LineCount of a line set.
struct LinesState {
    std::vector<std::shared_ptr<const LineChunk>> chunks;
    std::vector<SharedText> texts;
    size_t count = 0;
};

// A line set as a state holds it: its lines, its index and its other fields.
template <class Fields>
struct SetState {
    LinesState lines;
    LineIndex index;
    Fields fields;
};
using SlotState = SetState<SlotFields>;
using ClipboardState = SetState<ClipboardFields>;

// Parts that did not change between two states are the same objects.
struct WorkspaceState {
    std::shared_ptr<const SlotState> files[2];
    std::shared_ptr<const ClipboardState> clipboard;
};

// The workspace as it is now. Parts equal to those of `previous` (when given)
// are shared with it, and so are the chunks of lines it already holds.
WorkspaceState SaveWorkspaceState(const Workspace& ws, const WorkspaceState* previous);

// Puts the files and the Clipboard back as the state holds them. LineCapacity
// and CompatibleCount are left to their owners.
void RestoreWorkspaceState(Workspace& ws, const WorkspaceState& state);

// Whether the workspace holds exactly what the state holds: every field, row
// selection included, lines compared by their text.
bool SameAsState(const Workspace& ws, const WorkspaceState& state);

// Whether lines 1 to LineCount of the set are the texts the saved lines hold.
bool SameLines(const LineSet& set, const LinesState& lines);

// Saves lines 1 to LineCount of a set; chunks equal to those of `previous` are shared.
LinesState SaveLines(const LineSet& set, const LinesState* previous);

// Bytes a state's line chunks hold (views, not text).
size_t ChunkBytes(const LinesState& lines);

}  // namespace vandrel
