#include "model/KeyframeTable.h"

#include <algorithm>

#include "model/Sections.h"

namespace vandrel {

int RowPadding(size_t length) { return length < 5 ? static_cast<int>(5 - length) * 2 + 1 : 1; }

std::string RowTextFor(std::string_view number, std::string_view comment) {
    std::string text(number);
    if (!comment.empty()) {
        text.append(static_cast<size_t>(RowPadding(number.size())), ' ');
        text += comment;
    }
    return text;
}

// The table is positional: the count four lines below "Bones:" and the keys
// after it. No line past the bones section is read, so neither a garbage count
// nor a model without bones produces rows.
// Only the lines it reads are checked for the section's end, not the whole section.
void BuildKeyframeTable(ModelSlot& slot) {
    slot.Rows.clear();
    const int64_t bones = slot.BonesLine;
    if (bones < 1 || bones > slot.LineCount) return;
    auto inSection = [&](int64_t i) { return i <= slot.LineCount && !BeginsWithLetter(LineAt(slot, i)); };
    const int64_t first = bones + 5;
    for (int64_t i = bones + 1; i < first; ++i)
        if (!inSection(i)) return;
    const int64_t keys = IntegerValue(LineAt(slot, first - 1));
    for (int64_t k = 0; k < keys && inSection(first + k); ++k)
        slot.Rows.push_back({DecimalText(IntegerValue(LineAt(slot, first + k))), false});
}

}  // namespace vandrel
