#include "model/ModelStatistics.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>

#include "model/IntegerValue.h"
#include "model/Sections.h"
#include "model/Text.h"

namespace vandrel {

namespace {

// 1-based position of the first blank at or after position `from` (1-based); 0 if none.
size_t BlankAtOrAfter(std::string_view line, size_t from) {
    if (from < 1) from = 1;
    if (from > line.size()) return 0;
    size_t p = line.find(' ', from - 1);
    return p == std::string_view::npos ? 0 : p + 1;
}

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

// A hash of a short text, eight bytes at a time: position texts are a few dozen
// bytes, and a model has hundreds of thousands of them.
uint64_t PositionHash(std::string_view text) {
    constexpr uint64_t kMul = 0x9E3779B97F4A7C15ull;
    uint64_t h = text.size() * kMul;
    size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        h = (h ^ word) * kMul;
        h ^= h >> 32;
    }
    uint64_t tail = 0;
    std::memcpy(&tail, text.data() + i, text.size() - i);
    h = (h ^ tail) * kMul;
    return h ^ (h >> 29);
}

// The position texts of a model's vertex lines, to count the different ones. A
// model has hundreds of thousands: one table for all of them would be megabytes
// probed at random, so they are first sorted by the top bits of their hash into
// buckets, and each bucket is counted in a small table that stays in the cache.
// Texts are compared whenever their hashes are equal.
class DistinctPositions {
public:
    explicit DistinctPositions(size_t most) {
        hashes_.reserve(most);
        texts_.reserve(most);
    }

    void Add(std::string_view line) {
        const std::string_view text = VertexPositionText(line);
        if (text.empty()) return;
        hashes_.push_back(PositionHash(text));
        texts_.push_back(text);
    }

    size_t Count() const {
        constexpr int kShift = 64 - 8;
        const size_t n = hashes_.size();
        std::vector<uint32_t> start((size_t{1} << (64 - kShift)) + 1, 0);
        for (uint64_t h : hashes_) ++start[(h >> kShift) + 1];
        size_t largest = 0;
        for (size_t b = 1; b < start.size(); ++b) {
            largest = std::max<size_t>(largest, start[b]);
            start[b] += start[b - 1];
        }
        // The hashes and their texts' places, bucket by bucket.
        std::vector<uint64_t> hashes(n);
        std::vector<uint32_t> places(n);
        std::vector<uint32_t> next(start.begin(), start.end() - 1);
        for (uint32_t t = 0; t < n; ++t) {
            const uint32_t k = next[hashes_[t] >> kShift]++;
            hashes[k] = hashes_[t];
            places[k] = t;
        }

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
                for (size_t i = hashes[k] & mask;; i = (i + 1) & mask) {
                    if (table[i] == 0) {
                        table[i] = k + 1;
                        ++distinct;
                        break;
                    }
                    const uint32_t other = table[i] - 1;
                    if (hashes[other] == hashes[k] && texts_[places[other]] == texts_[places[k]]) break;
                }
            }
        }
        return distinct;
    }

private:
    std::vector<uint64_t> hashes_;
    std::vector<std::string_view> texts_;
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
        } else if (BeginsWith(line, "0 ") && ContainsPoint(line)) {
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
