#include "model/ModelStatistics.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <utility>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "model/IntegerValue.h"
#include "model/ModelReader.h"
#include "model/Sections.h"
#include "model/Text.h"

namespace vandrel {

namespace {

// 1-based position of the first blank at or after position `from` (1-based); 0 if none.
// Vertex lines are short: a plain loop beats a library search call.
size_t BlankAtOrAfter(std::string_view line, size_t from) {
    if (from < 1) from = 1;
    for (size_t i = from - 1; i < line.size(); ++i)
        if (line[i] == ' ') return i + 1;
    return 0;
}

// Whether the line has a point. Triangle lines begin "0 " too and have none, so
// most are searched to their end: the library's vector search pays off here.
bool HasPoint(std::string_view line) { return line.find('.') != std::string_view::npos; }

// The x y z text of a vertex line, or empty when it does not count.
std::string_view VertexPositionText(std::string_view line) {
    size_t p1 = BlankAtOrAfter(line, 3);
    size_t p2 = BlankAtOrAfter(line, p1 + 1);
    size_t p3 = BlankAtOrAfter(line, p2 + 1);
    if (p3 == 0 || p3 <= 3) return {};
    return StripBlanks(line.substr(2, p3 - 3));
}

// The file part of a material's quoted line: after the leading quote and after the
// last slash or backslash, up to the next quote or the end.
std::string_view MaterialFilePart(std::string_view line) {
    size_t start = IsQuotedLine(line) ? 1 : 0;
    size_t slash = line.find_last_of("/\\");
    if (slash != std::string_view::npos && slash + 1 > start) start = slash + 1;
    std::string_view rest = line.substr(start);
    return rest.substr(0, rest.find('"'));
}

// The beginning of a mesh header up to and including its second double quote.
std::string_view QuotedMeshName(std::string_view line) {
    size_t first = line.find('"');
    if (first == std::string_view::npos) return {};
    size_t second = line.find('"', first + 1);
    if (second == std::string_view::npos) return {};
    return line.substr(0, second + 1);
}

// A position text as written by exporters ("1.250000 -0.500000 2.000000"):
// at most 32 characters of "0123456789.-+ e", kept whole in 128 bits. Character
// k becomes a four-bit code (1 to 15) in nibble k, the first character in the
// high nibble of byte 0; the nibbles past its end stay 0, so the length is kept
// too. Two texts are equal exactly when their codes are, and a code is compared
// without reading the text again. A sixteenth character would need a fifth bit,
// so "E" (and anything else) goes the slow way.
struct PositionCode {
    uint64_t first = 0, second = 0;  // bytes 0 to 7 and 8 to 15
    bool operator==(const PositionCode&) const = default;
    uint64_t Hash() const {
        uint64_t h = (first ^ (second * 0x9E3779B97F4A7C15ull)) * 0xBF58476D1CE4E5B9ull;
        return h ^ (h >> 31);
    }
};

constexpr size_t kLongestCoded = 32;

// The code of each character; 0 for those that have none.
constexpr std::array<uint8_t, 256> kCodes = [] {
    std::array<uint8_t, 256> codes{};
    constexpr std::string_view alphabet = "0123456789.-+ e";
    static_assert(alphabet.size() == 15);
    for (size_t k = 0; k < alphabet.size(); ++k) codes[uint8_t(alphabet[k])] = uint8_t(k + 1);
    return codes;
}();

bool EncodePosition(std::string_view text, PositionCode& code) {
    if (text.size() > kLongestCoded) return false;
    uint8_t bytes[16] = {};
    for (size_t k = 0; k < text.size(); ++k) {
        const uint8_t c = kCodes[uint8_t(text[k])];
        if (c == 0) return false;
        bytes[k / 2] |= k % 2 ? c : uint8_t(c << 4);
    }
    std::memcpy(&code.first, bytes, 8);
    std::memcpy(&code.second, bytes + 8, 8);
    return true;
}

enum class Coded { Yes, NoText, ThePlainWay };

#if defined(__SSE2__)
uint32_t BlanksOf(__m128i bytes) { return uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(' ')))); }

__m128i CodesOf(__m128i c) {
    const __m128i digit = _mm_and_si128(_mm_cmpgt_epi8(c, _mm_set1_epi8('0' - 1)), _mm_cmplt_epi8(c, _mm_set1_epi8('9' + 1)));
    __m128i code = _mm_and_si128(digit, _mm_sub_epi8(c, _mm_set1_epi8('0' - 1)));
    const std::pair<char, char> others[] = {{'.', 11}, {'-', 12}, {'+', 13}, {' ', 14}, {'e', 15}};
    for (const auto& [character, value] : others)
        code = _mm_or_si128(code, _mm_and_si128(_mm_cmpeq_epi8(c, _mm_set1_epi8(character)), _mm_set1_epi8(value)));
    return code;
}

// Two codes a byte, the first in the high nibble: 16 codes in, 8 bytes in the low half out.
__m128i PairsOf(__m128i codes) {
    const __m128i pairs = _mm_or_si128(_mm_slli_epi16(codes, 4), _mm_srli_epi16(codes, 8));
    return _mm_and_si128(pairs, _mm_set1_epi16(0x00FF));
}

// The position text of a vertex line and its code as above, sixteen bytes at a
// time: the same text as VertexPositionText and the same code as EncodePosition,
// for the lines whose text begins and ends within 32 bytes after "0 " and that go
// on for 32 bytes after the text's start (no byte past the line is read). The
// rest, and texts with other characters, go the plain way.
Coded CodeVertexLine(std::string_view line, PositionCode& code) {
    if (line.size() < 2 + kLongestCoded) return Coded::ThePlainWay;
    const char* p = line.data() + 2;
    const uint32_t blanks = BlanksOf(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))) |
                            BlanksOf(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16))) << 16;
    uint32_t rest = blanks;
    for (int k = 0; k < 2 && rest; ++k) rest &= rest - 1;
    if (rest == 0) return Coded::ThePlainWay;  // the third blank lies further on
    const int third = __builtin_ctz(rest);     // the text ends before it
    const uint32_t filled = ~blanks & ((1u << third) - 1);
    if (filled == 0) return Coded::NoText;
    const int start = __builtin_ctz(filled), length = 32 - __builtin_clz(filled) - start;
    if (2 + size_t(start) + kLongestCoded > line.size()) return Coded::ThePlainWay;
    const __m128i low = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const __m128i ends = _mm_set1_epi8(char(length));
    __m128i codes[2];
    int missing = 0;
    for (int half = 0; half < 2; ++half) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + start + 16 * half));
        const __m128i inside = _mm_cmplt_epi8(_mm_add_epi8(low, _mm_set1_epi8(char(16 * half))), ends);
        codes[half] = _mm_and_si128(CodesOf(bytes), inside);
        missing |= _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(codes[half], _mm_setzero_si128()), inside));
    }
    if (missing) return Coded::ThePlainWay;
    uint64_t halves[2];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(halves), _mm_packus_epi16(PairsOf(codes[0]), PairsOf(codes[1])));
    code = {halves[0], halves[1]};
    return Coded::Yes;
}
#else
Coded CodeVertexLine(std::string_view, PositionCode&) { return Coded::ThePlainWay; }
#endif

// How many different values are among `items`, each given its hash: sorted by
// the top bits of their hash into buckets, each bucket counted in a small table
// that stays in the cache. A model has hundreds of thousands of vertex lines,
// and one table for all of them would be megabytes probed at random.
template <class Item, class HashOf>
size_t CountDistinct(const std::vector<Item>& items, HashOf hashOf) {
    constexpr int kShift = 64 - 8;
    const size_t n = items.size();
    std::vector<uint32_t> start((size_t{1} << (64 - kShift)) + 1, 0);
    for (const Item& item : items) ++start[(hashOf(item) >> kShift) + 1];
    size_t largest = 0;
    for (size_t b = 1; b < start.size(); ++b) {
        largest = std::max<size_t>(largest, start[b]);
        start[b] += start[b - 1];
    }
    std::vector<Item> sorted(n);
    std::vector<uint32_t> next(start.begin(), start.end() - 1);
    for (const Item& item : items) sorted[next[hashOf(item) >> kShift]++] = item;

    size_t size = 16;
    while (size < largest * 2) size *= 2;
    std::vector<uint32_t> table(size);
    size_t distinct = 0;
    for (size_t b = 0; b + 1 < start.size(); ++b) {
        const uint32_t first = start[b], end = start[b + 1];
        if (first == end) continue;
        size_t bucketSize = 16;
        while (bucketSize < size_t(end - first) * 2) bucketSize *= 2;
        const size_t mask = bucketSize - 1;
        std::fill(table.begin(), table.begin() + std::ptrdiff_t(bucketSize), 0);
        for (uint32_t k = first; k < end; ++k) {
            for (size_t i = hashOf(sorted[k]) & mask;; i = (i + 1) & mask) {
                if (table[i] == 0) {
                    table[i] = k + 1;
                    ++distinct;
                    break;
                }
                if (sorted[table[i] - 1] == sorted[k]) break;
            }
        }
    }
    return distinct;
}

// The position texts of a model's vertex lines, to count the different ones.
// Texts that cannot be coded (rare) are counted apart: no coded text equals them.
class DistinctPositions {
public:
    explicit DistinctPositions(size_t most) { codes_.reserve(most); }

    void Add(std::string_view line) {
        PositionCode code;
        const Coded coded = CodeVertexLine(line, code);
        if (coded == Coded::NoText) return;
        if (coded == Coded::Yes) return codes_.push_back(code);
        const std::string_view text = VertexPositionText(line);
        if (text.empty()) return;
        if (EncodePosition(text, code)) codes_.push_back(code);
        else others_.push_back(text);
    }

    size_t Count() const {
        return CountDistinct(codes_, [](const PositionCode& c) { return c.Hash(); }) +
               CountDistinct(others_, [](std::string_view t) { return std::hash<std::string_view>{}(t); });
    }

private:
    std::vector<PositionCode> codes_;
    std::vector<std::string_view> others_;
};

}  // namespace

std::vector<std::string> ComputeModelStatistics(const LineSet& lines, const SectionLines& sections) {
    const LineRange meshes = SectionFrom(lines, sections.Meshes);
    const LineRange materials = SectionFrom(lines, sections.Materials);

    int64_t vertices = 0, triangles = 0;
    std::vector<std::string> meshLines;
    DistinctPositions positions(size_t(std::max<int64_t>(meshes.last - meshes.first, 0)));
    const std::vector<std::string_view>& views = lines.ModelLines.Views();
    for (int64_t m = meshes.first; m <= meshes.last; ++m) {
        const std::string_view line = views[size_t(m)];
        if (IsQuotedLine(line)) {
            int64_t v = IntegerValue(LineAt(lines, WrapAdd(m, 1)));
            int64_t k = IntegerValue(LineAt(lines, WrapAdd(WrapAdd(m, v), 2)));
            std::string_view triangleLine = LineAt(lines, WrapAdd(WrapAdd(WrapAdd(m, v), k), 3));
            vertices = WrapAdd(vertices, v);
            triangles = WrapAdd(triangles, IntegerValue(triangleLine));
            meshLines.push_back(std::string(QuotedMeshName(line)) + " --> " + std::string(triangleLine));
        } else if (BeginsWith(line, "0 ") && HasPoint(line)) {
            positions.Add(line);
        }
    }

    std::vector<std::string> out;
    out.push_back("Vertices:   " + DecimalText(vertices) + " (" + DecimalText(int64_t(positions.Count())) + ")");
    out.push_back("Triangles: " + DecimalText(triangles));
    out.emplace_back();
    std::string_view meshesLine = LineAt(lines, sections.Meshes);
    out.push_back("Groups:" + std::string(meshesLine.substr(std::min<size_t>(7, meshesLine.size()))));
    out.insert(out.end(), meshLines.begin(), meshLines.end());
    out.emplace_back();
    out.emplace_back(LineAt(lines, sections.Materials));

    std::string collected;
    int64_t number = 0;
    for (int64_t i = materials.first; i <= materials.last; ++i) {
        std::string_view line = LineAt(lines, i);
        if (!IsQuotedLine(line)) continue;
        if (++number % 3 != 0) {
            collected += MaterialFilePart(line);
            collected += " --> ";
        } else {
            collected += line;
            out.push_back(std::move(collected));
            collected.clear();
        }
    }
    out.emplace_back();
    std::string_view bonesLine = LineAt(lines, sections.Bones);
    out.push_back("Joints:" + std::string(bonesLine.substr(std::min<size_t>(6, bonesLine.size()))));
    return out;
}

struct OpenedStatistics::State {
    SharedText text;
    SectionLines sections;
    std::vector<std::string> lines;  // the bones' lines until the rest is worked out
    bool complete = false;
};

OpenedStatistics::OpenedStatistics(std::vector<std::string> lines)
    : state_(std::make_shared<State>(State{nullptr, {}, std::move(lines), true})) {}

OpenedStatistics::OpenedStatistics(SharedText text, SectionLines sections, std::vector<std::string> boneLines)
    : state_(std::make_shared<State>(State{std::move(text), sections, std::move(boneLines), false})) {}

// The lines of the text are split again as the open split them: the same lines,
// whatever commands did to the slot's lines since.
const std::vector<std::string>& OpenedStatistics::All() const {
    static const std::vector<std::string> none;
    if (!state_) return none;
    State& s = *state_;
    if (!s.complete) {
        std::vector<std::string_view> views = LinesOfText(s.text);
        LineSet set;
        set.LineCount = Int32(int64_t(views.size()) - 1);
        set.BonesLine = Int32(s.sections.Bones);
        set.ModelLines = vandrel::Lines(s.text, std::move(views));
        std::vector<std::string> lines = ComputeModelStatistics(set, s.sections);
        lines.insert(lines.end(), std::make_move_iterator(s.lines.begin()), std::make_move_iterator(s.lines.end()));
        s.lines = std::move(lines);
        s.text.reset();
        s.complete = true;
    }
    return s.lines;
}

bool OpenedStatistics::operator==(const OpenedStatistics& other) const {
    return state_ == other.state_ || All() == other.All();
}

std::string BoneStatisticsLine(const LineSet& lines, int64_t nameLine) {
    return std::string(LineAt(lines, nameLine + 1)) + " --> " + std::string(LineAt(lines, nameLine));
}

}  // namespace vandrel
