#include "model/KeyLines.h"

#include <algorithm>

namespace vandrel {

void RecountKeys(LineSet& set, int64_t top) {
    int64_t counter = 0;
    const int64_t bottom = std::max<int64_t>(set.BonesLine, 1);
    top = std::min<int64_t>(top, static_cast<int64_t>(set.ModelLines.size()) - 1);
    for (int64_t i = top; i >= bottom; --i) {
        const std::string_view line = set.ModelLines[static_cast<size_t>(i)];
        if (IsKeyLine(line)) {
            ++counter;
        } else if (line == kCountMark) {
            set.ModelLines.Set(static_cast<size_t>(i), DecimalText(counter));
            counter = 0;
        }
    }
}

}  // namespace vandrel
