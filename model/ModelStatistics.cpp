#include "model/ModelStatistics.h"

#include <cstdint>
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

// Counts the different texts among those collected. An open-addressing table of
// indexes into the collected texts, each slot tagged with the upper half of its
// text's hash, so that a probe rarely has to look at the text itself; a model
// with a million vertex lines needs one pass and a few megabytes.
size_t CountDistinct(const std::vector<std::string_view>& texts) {
    size_t size = 16;
    while (size < texts.size() * 2) size *= 2;
    std::vector<uint64_t> slots(size, 0);
    const size_t mask = size - 1;
    size_t distinct = 0;
    for (size_t t = 0; t < texts.size(); ++t) {
        const uint64_t hash = std::hash<std::string_view>{}(texts[t]);
        const uint64_t tag = hash & 0xFFFFFFFF00000000ull;
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            const uint64_t slot = slots[i];
            if (slot == 0) {
                slots[i] = tag | (t + 1);
                ++distinct;
                break;
            }
            if ((slot & 0xFFFFFFFF00000000ull) == tag && texts[(slot & 0xFFFFFFFFull) - 1] == texts[t]) break;
        }
    }
    return distinct;
}

}  // namespace

std::vector<std::string> ComputeModelStatistics(const LineSet& lines, const SectionLines& sections) {
    const LineRange meshes = SectionFrom(lines, sections.Meshes);
    const LineRange materials = SectionFrom(lines, sections.Materials);

    int64_t vertices = 0, triangles = 0;
    std::vector<std::string> meshLines;
    std::vector<std::string_view> positions;
    for (int64_t m = meshes.first; m <= meshes.last; ++m) {
        std::string_view line = LineAt(lines, m);
        if (IsQuotedLine(line)) {
            int64_t v = IntegerValue(LineAt(lines, WrapAdd(m, 1)));
            int64_t k = IntegerValue(LineAt(lines, WrapAdd(WrapAdd(m, v), 2)));
            std::string_view triangleLine = LineAt(lines, WrapAdd(WrapAdd(WrapAdd(m, v), k), 3));
            vertices = WrapAdd(vertices, v);
            triangles = WrapAdd(triangles, IntegerValue(triangleLine));
            meshLines.push_back(std::string(QuotedMeshName(line)) + " --> " + std::string(triangleLine));
        } else if (BeginsWith(line, "0 ") && ContainsPoint(line)) {
            std::string_view position = VertexPositionText(line);
            if (!position.empty()) positions.push_back(position);
        }
    }

    std::vector<std::string> out;
    out.push_back("Vertices:   " + DecimalText(vertices) + " (" + DecimalText(int64_t(CountDistinct(positions))) + ")");
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
