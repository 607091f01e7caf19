#pragma once
// Where the sections of a model file end. A section runs from its header line
// ("Meshes:", "Materials:", "Bones:") to the line before the next line that
// begins with an ASCII letter, or to the last line. Real files put sections in
// any order and add sections of their own (comments, "Materials:" after the
// bones), so no section is taken to run to the end of the file.
#include <cstdint>

#include "model/ModelSlot.h"

namespace vandrel {

// A range of line indexes; empty when last < first.
struct LineRange {
    int64_t first = 0;
    int64_t last = -1;
    bool Empty() const { return last < first; }
    bool Contains(int64_t i) const { return i >= first && i <= last; }
};

// True for a line that begins with A to Z or a to z: the header of a section.
inline bool BeginsWithLetter(std::string_view line) {
    if (line.empty()) return false;
    const char c = char(line[0] | 0x20);  // lower case for letters
    return c >= 'a' && c <= 'z';
}

// The section whose header is line `header` of the set; empty when the header
// is 0 (the file has no such section) or lies outside the lines. With `upTo`,
// no line past it is looked at: the range then ends at `upTo` at the latest, for
// a reader that needs only the section's beginning.
LineRange SectionFrom(const LineSet& set, int64_t header, int64_t upTo = INT64_MAX);

// The header lines of the set's sections, found by their beginning ("Meshes:",
// "Materials:", "Bones:"), the last of each kind winning; 0 where there is none.
SectionLines FindSections(const LineSet& set);

// One line's part in that search, which visits the lines from the last up:
// notes line k when it is a header of a kind not found yet. True when all three are found.
inline bool NoteSectionHeader(SectionLines& sections, std::string_view line, int64_t k) {
    if (line.empty()) return false;
    if (line[0] == 'M') {
        if (!sections.Meshes && line.starts_with("Meshes:")) sections.Meshes = k;
        else if (!sections.Materials && line.starts_with("Materials:")) sections.Materials = k;
    } else if (line[0] == 'B' && !sections.Bones && line.starts_with("Bones:")) {
        sections.Bones = k;
    }
    return sections.Meshes && sections.Materials && sections.Bones;
}

// The bones section: from BonesLine to the line before the next section header.
inline LineRange BonesSection(const LineSet& set) { return SectionFrom(set, set.BonesLine); }

}  // namespace vandrel
