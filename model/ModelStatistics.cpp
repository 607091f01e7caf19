#include "model/ModelStatistics.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>

#include "model/IntegerValue.h"
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
// digits, points, signs, blanks and a small "e", at most 30 characters. Such a
// text is kept whole in 128 bits, four bits a character (codes 1 to 15; no
// character is 0, so the length is kept too): two texts are equal exactly when
// their codes are, and a code is compared without reading the text again. A
// sixteenth character would need a fifth bit, so "E" goes the slow way.
struct PositionCode {
    uint64_t high = 0, low = 0;
    bool operator==(const PositionCode&) const = default;
    uint64_t Hash() const {
        uint64_t h = (high ^ (low * 0x9E3779B97F4A7C15ull)) * 0xBF58476D1CE4E5B9ull;
        return h ^ (h >> 31);
    }
};

// The code of each character; 0 for those that have none.
constexpr std::array<uint8_t, 256> kCodes = [] {
    std::array<uint8_t, 256> codes{};
    constexpr std::string_view alphabet = "0123456789.-+ e";
    static_assert(alphabet.size() == 15);
    for (size_t k = 0; k < alphabet.size(); ++k) codes[uint8_t(alphabet[k])] = uint8_t(k + 1);
    return codes;
}();

bool EncodePosition(std::string_view text, PositionCode& code) {
    const size_t n = text.size();
    if (n > 30) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    uint64_t high = 0, low = 0;
    bool missing = false;
    const size_t split = std::min<size_t>(n, 15);
    for (size_t i = 0; i < split; ++i) {
        const uint64_t c = kCodes[p[i]];
        missing |= c == 0;
        high = (high << 4) | c;
    }
    for (size_t i = split; i < n; ++i) {
        const uint64_t c = kCodes[p[i]];
        missing |= c == 0;
        low = (low << 4) | c;
    }
    code = {high, low};
    return !missing;
}

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
        const std::string_view text = VertexPositionText(line);
        if (text.empty()) return;
        PositionCode code;
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

std::string BoneStatisticsLine(const LineSet& lines, int64_t nameLine) {
    return std::string(LineAt(lines, nameLine + 1)) + " --> " + std::string(LineAt(lines, nameLine));
}

}  // namespace vandrel
