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
// after it. No line past the bones section becomes a row, so neither a garbage
// count nor a model without bones produces rows; of the section, only the lines
// up to the last key are looked at.
void BuildKeyframeTable(ModelSlot& slot) {
    slot.Rows.clear();
    const int64_t first = int64_t{slot.BonesLine} + 5;
    const int64_t keys = std::min<int64_t>(IntegerValue(LineAt(slot, first - 1)), slot.LineCount);
    const int64_t last = SectionFrom(slot, slot.BonesLine, first - 1 + keys).last;
    for (int64_t i = first; i <= last && i < first + keys; ++i)
        slot.Rows.push_back({DecimalText(IntegerValue(LineAt(slot, i))), false});
}

}  // namespace vandrel
