#include "model/KeyLines.h"

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vandrel {

namespace {

// The bits set in `x`, by additions in parallel: without a popcount instruction in
// the target (plain x86-64 has none) the builtin becomes a library call per word.
inline int BitCount(uint32_t x) {
    x = x - ((x >> 1) & 0x55555555u);
    x = (x & 0x33333333u) + ((x >> 2) & 0x33333333u);
    x = (x + (x >> 4)) & 0x0F0F0F0Fu;
    return int((x * 0x01010101u) >> 24);
}

// Field starts among the bytes of one line: a byte that is no blank after one
// that is. `blanks` has bit k set where byte k is a blank; `before` tells whether
// the byte before the first was one.
inline int FieldStarts(uint32_t blanks, int width, bool before) {
    const uint32_t all = width == 32 ? ~0u : (1u << width) - 1;
    const uint32_t after = ((blanks << 1) | (before ? 1u : 0u)) & all;
    return BitCount(~blanks & after & all);
}

}  // namespace

// A field begins at every byte that is no blank and follows a blank; counted
// sixteen bytes at a time without a branch per byte: every command asks this
// of every line of a bones section.
bool IsKeyLine(std::string_view line) {
    if (line.empty() || line[0] == ' ' || line[0] == '"') return false;
    const char* p = line.data();
    const size_t n = line.size();
    int fields = 0;
    bool before = true;
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i blank = _mm_set1_epi8(' ');
    for (; i + 16 <= n; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const uint32_t blanks = uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, blank)));
        fields += FieldStarts(blanks, 16, before);
        if (fields > 4) return false;
        before = (blanks >> 15) & 1;
    }
    if (i < n && n >= 16) {
        // The last sixteen bytes of the line, of which the first were counted already.
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + n - 16));
        const int rest = int(n - i);
        const uint32_t blanks = uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, blank))) >> (16 - rest);
        return fields + FieldStarts(blanks, rest, before) == 4;
    }
#endif
    uint32_t blanks = 0;
    const int rest = int(n - i);
    for (int k = 0; k < rest; ++k) blanks |= uint32_t(p[i + size_t(k)] == ' ') << k;
    fields += FieldStarts(blanks, rest, before);
    return fields == 4;
}

FrameCounts::FrameCounts(const std::vector<int32_t>& frames) {
    if (frames.empty()) return;
    empty_ = false;
    const auto [low, high] = std::minmax_element(frames.begin(), frames.end());
    if (int64_t{*high} - *low < (int64_t{1} << 20)) {
        lowest_ = *low;
        dense_.assign(size_t(int64_t{*high} - *low + 1), 0);
        for (int32_t frame : frames) ++dense_[size_t(int64_t{frame} - lowest_)];
    } else {
        for (int32_t frame : frames) ++sparse_[frame];
    }
}

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
