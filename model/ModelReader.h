#pragma once
// Opening a MilkShape 3D ASCII file into a model slot.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "model/Lines.h"
#include "model/Sections.h"
#include "model/Text.h"
#include "model/ModelSlot.h"

namespace vandrel {

inline constexpr std::string_view kModelHeader = "// MilkShape 3D ASCII";

// How an open ended. Every result but Opened leaves the slot as it was.
enum class OpenResult {
    Opened,
    Cancelled,   // no path: the dialog was cancelled
    NotAModel,   // not a ".txt" name, or text that is no MilkShape 3D ASCII model
    Unreadable,  // a ".txt" name that names no readable file (a folder, a missing file)
};

// Whether a file's text is a MilkShape 3D ASCII model: its first line, blanks
// stripped and a UTF-8 byte-order mark at its start ignored, begins with the
// header comment; or the first line that is neither empty after stripping blanks
// nor a "//" comment begins with a section line ("Frames:", "Frame:", "Meshes:",
// "Materials:", "Bones:"). Exporters leave the header out, and animation files
// hold only a bones section.
bool IsModelText(std::string_view text);

// Opens the file at `path` into the slot (an empty path is a cancelled dialog).
// Only a ".txt" name that names a readable model opens; anything else changes
// nothing. On acceptance the slot takes the path and its side file's path,
// `pathAccepted` runs (the shell remembers the path), then the file and its side
// file (when it can be read) are loaded as LoadModel says.
OpenResult OpenModel(ModelSlot& slot, int64_t& lineCapacity, const std::string& path,
                     const std::function<void()>& pathAccepted);

// The whole load of a model's text, whatever it comes from: LoadModelText, the
// comments of the side file's bytes on the rows (ApplyKeyframeSidecar), then
// the rest lines made unique (MakeRestLinesUnique). The open command, the
// tests, the fuzz targets and the benchmarks all load through here.
void LoadModel(ModelSlot& slot, int64_t& lineCapacity, SharedText text,
               std::optional<std::string_view> sidecarBytes = std::nullopt);

// The first step of a load (null text: it could not be read, which gives an
// empty model): raises the line capacity shared by the line arrays to the line
// count + 10 when the count exceeds it, takes the lines with their statistics
// and bone index (bone flags cleared) into the slot, and builds its keyframe table.
void LoadModelText(ModelSlot& slot, int64_t& lineCapacity, SharedText text);

// Bytes as a block of text, for LoadModel.
SharedText TextOf(std::string_view bytes);

// The lines of a file's text as the reader splits them, element 0 first; a file
// that could not be read (null) has none. With `capitals`, the lines that begin
// with a capital letter are noted too (see SplitLines).
std::vector<std::string_view> LinesOfText(const SharedText& text, std::vector<size_t>* capitals = nullptr);

// Refills a line set's bone list from its current lines.
void RebuildBoneList(LineSet& set);

inline bool IsQuotedLineAt(const LineSet& set, int64_t i) { return IsQuotedLine(LineAt(set, i)); }

// The bone scan over the bones section: a quoted line B is a bone's name line
// when its position-key count line B + 3 lies inside the section; the line after
// it (the parent) is skipped. visit(i) may change line i + 2. Quoted lines of
// later sections (material names, comment texts) are never bones.
template <class Visit>
void ScanBones(const LineSet& set, Visit&& visit) {
    const LineRange section = BonesSection(set);
    for (int64_t i = section.first; i + 3 <= section.last; ++i) {
        if (IsQuotedLineAt(set, i)) {
            visit(i);
            ++i;
        }
    }
}

// The record of the bone whose name line is i.
BoneRecord BoneRecordAt(const LineSet& set, int64_t i);

}  // namespace vandrel
