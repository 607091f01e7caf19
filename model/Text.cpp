#include "model/Text.h"

#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vandrel {

std::string_view StripBlanks(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && text[e - 1] == ' ') --e;
    return text.substr(b, e - b);
}

std::string_view AfterFirstBlank(std::string_view text) {
    size_t blank = text.find(' ');
    return blank == std::string_view::npos ? text : text.substr(blank + 1);
}

std::string_view FileNameOf(std::string_view path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string LowerExtensionOf(std::string_view path) {
    std::string_view name = FileNameOf(path);
    size_t dot = name.rfind('.');
    std::string ext;
    if (dot == std::string_view::npos) return ext;
    for (char c : name.substr(dot + 1)) ext += (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    return ext;
}

namespace {

// Bit k is set where byte k of the 16 at p is LF, CR or NUL.
#if defined(__SSE2__)
uint32_t TerminatorMask(const char* p) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')),
                                                   _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r'))),
                                      _mm_cmpeq_epi8(bytes, _mm_setzero_si128()));
    return static_cast<uint32_t>(_mm_movemask_epi8(hits));
}
#else
uint32_t TerminatorMask(const char* p) {
    uint32_t mask = 0;
    for (int k = 0; k < 16; ++k)
        if (p[k] == '\n' || p[k] == '\r' || p[k] == '\0') mask |= 1u << k;
    return mask;
}
#endif

}  // namespace

// The same lines as ForEachLine, found sixteen bytes at a time: a model of a
// million lines is split in a few milliseconds.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    lines.reserve(LinesRoomFor(text.size()));
    SplitLines(text, lines);
    return lines;
}

void SplitLines(std::string_view text, std::vector<std::string_view>& lines) {
    lines.emplace_back();
    const char* data = text.data();
    const size_t n = text.size();
    size_t start = 0;
    auto terminatorAt = [&](size_t pos) {
        if (pos < start) return;  // the LF of a CR LF
        lines.emplace_back(data + start, pos - start);
        start = pos + (data[pos] == '\r' && pos + 1 < n && data[pos + 1] == '\n' ? 2 : 1);
    };
    size_t i = 0;
    for (; i + 16 <= n; i += 16)
        for (uint32_t mask = TerminatorMask(data + i); mask != 0; mask &= mask - 1)
            terminatorAt(i + size_t(__builtin_ctz(mask)));
    for (; i < n; ++i)
        if (data[i] == '\n' || data[i] == '\r' || data[i] == '\0') terminatorAt(i);
    if (start < n) lines.emplace_back(data + start, n - start);
}

}  // namespace vandrel
