#include "model/KeyframeTable.h"

#include <algorithm>

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

void BuildKeyframeTable(ModelSlot& slot) {
    slot.Rows.clear();
    const int64_t first = int64_t{slot.BonesLine} + 5;
    const int64_t keys = IntegerValue(LineAt(slot, first - 1));
    // Never read past the last line: a garbage count must not produce rows.
    const int64_t available = std::max<int64_t>(0, int64_t{slot.LineCount} - first + 1);
    const int64_t count = std::min(keys, available);
    for (int64_t i = first; i < first + count; ++i)
        slot.Rows.push_back({DecimalText(IntegerValue(LineAt(slot, i))), false});
}

}  // namespace vandrel
