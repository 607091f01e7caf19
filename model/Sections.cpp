#include "model/Sections.h"

namespace vandrel {

LineRange SectionFrom(const LineSet& set, int64_t header) {
    if (header < 1 || header > set.LineCount) return {};
    int64_t last = header;
    while (last < set.LineCount && !BeginsWithLetter(LineAt(set, last + 1))) ++last;
    return {header, last};
}

}  // namespace vandrel
