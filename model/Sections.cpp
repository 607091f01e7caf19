#include "model/Sections.h"

#include <algorithm>

namespace vandrel {

LineRange SectionFrom(const LineSet& set, int64_t header, int64_t upTo) {
    if (header < 1 || header > set.LineCount) return {};
    const int64_t last = std::max(header, std::min<int64_t>(set.LineCount, upTo));
    // Lines past the array read as empty lines, and those never end a section.
    const std::vector<std::string_view>& views = set.ModelLines.Views();
    const int64_t stored = std::min<int64_t>(last, int64_t(views.size()) - 1);
    for (int64_t i = header + 1; i <= stored; ++i)
        if (BeginsWithLetter(views[size_t(i)])) return {header, i - 1};
    return {header, last};
}

SectionLines FindSections(const LineSet& set) {
    SectionLines sections;
    for (int64_t k = set.LineCount; k >= 1; --k)
        if (NoteSectionHeader(sections, LineAt(set, k), k)) break;
    return sections;
}

}  // namespace vandrel
