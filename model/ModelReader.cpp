#include "model/ModelReader.h"

#include "model/FileBytes.h"
#include "model/IntegerValue.h"
#include "model/KeyframeTable.h"
#include "model/ModelStatistics.h"
#include "model/Text.h"
#include "output/KeyframeSidecar.h"

namespace vandrel {

namespace {

// The first line of the file, as the header test reads it.
std::string_view FirstLine(std::string_view bytes) {
    return bytes.substr(0, bytes.find_first_of(std::string_view("\r\n\0", 3)));
}

// Everything up to and including the first blank becomes "0 ": the bone flags go.
void ClearBoneFlags(std::string& restLine) {
    size_t blank = restLine.find(' ');
    if (blank != std::string::npos) restLine.replace(0, blank + 1, "0 ");
}

}  // namespace

bool IsQuotedLineAt(const LineSet& set, int64_t i) { return IsQuotedLine(LineAt(set, i)); }

BoneRecord BoneRecordAt(const LineSet& set, int64_t i) {
    const int64_t positionKeys = IntegerValue(LineAt(set, i + 3));
    return {Int32(i), Int32(i + 2), Int32(i + 3), Int32(WrapAdd(i + 4, positionKeys))};
}

void RebuildBoneList(LineSet& set) {
    set.BoneList.clear();
    ScanBones(set, set.BonesLine, int64_t{set.LineCount} - 1,
              [&](int64_t i) { set.BoneList.push_back(BoneRecordAt(set, i)); });
}

void EnsureLineCapacity(Workspace& ws, std::string_view fileBytes) {
    const int64_t n = static_cast<int64_t>(CountLines(fileBytes));
    if (n > ws.LineCapacity) ws.LineCapacity = n + 10;
    ResizeLineArrays(ws);
}

void LoadModel(Workspace& ws, int n, const std::string* fileBytes) {
    ModelSlot& slot = ws.File(n);
    slot.ModelStatistics.clear();

    LineSet fresh;
    fresh.ModelLines = fileBytes ? SplitLines(*fileBytes) : std::vector<std::string>{std::string()};
    const int64_t count = static_cast<int64_t>(fresh.ModelLines.size()) - 1;
    fresh.LineCount = Int32(count);
    SectionLines sections;
    for (int64_t k = 1; k <= count; ++k) {
        std::string_view line = fresh.ModelLines[static_cast<size_t>(k)];
        if (BeginsWith(line, "Meshes:")) sections.Meshes = k;
        else if (BeginsWith(line, "Materials:")) sections.Materials = k;
        else if (BeginsWith(line, "Bones:")) sections.Bones = k;
    }
    fresh.BonesLine = Int32(sections.Bones);

    std::vector<std::string> statistics = ComputeModelStatistics(fresh, sections);
    ScanBones(fresh, sections.Bones, count - 1, [&](int64_t i) {
        if (i + 2 <= count) ClearBoneFlags(fresh.ModelLines[static_cast<size_t>(i + 2)]);
        statistics.push_back(BoneStatisticsLine(fresh, i));
        fresh.BoneList.push_back(BoneRecordAt(fresh, i));
    });

    if (fresh.ModelLines.size() < static_cast<size_t>(ws.LineCapacity) + 1)
        fresh.ModelLines.resize(static_cast<size_t>(ws.LineCapacity) + 1);
    static_cast<LineSet&>(slot) = std::move(fresh);
    slot.ModelStatistics = std::move(statistics);
}

OpenResult OpenModel(Workspace& ws, int n, const std::string& path,
                     const std::function<void()>& pathAccepted) {
    if (path.empty() || LowerExtensionOf(path) != "txt") return OpenResult::Rejected;
    std::optional<std::string> bytes = ReadFileBytes(path);
    if (bytes && StripBlanks(FirstLine(*bytes)) != kModelHeader) return OpenResult::Rejected;

    ModelSlot& slot = ws.File(n);
    slot.Path = path;
    slot.DialogDefault = path;
    if (pathAccepted) pathAccepted();

    if (bytes) EnsureLineCapacity(ws, *bytes);
    LoadModel(ws, n, bytes ? &*bytes : nullptr);
    BuildKeyframeTable(slot);
    ReadKeyframeSidecar(slot);
    return OpenResult::Opened;
}

}  // namespace vandrel
