#include "model/ModelReader.h"

#include <cstring>

#include "model/FileBytes.h"
#include "model/IntegerValue.h"
#include "model/KeyframeTable.h"
#include "model/ModelStatistics.h"
#include "model/RestLines.h"
#include "model/Text.h"

namespace vandrel {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The lines a model may begin with when its exporter wrote no header comment.
constexpr std::string_view kSectionLines[] = {"Frames:", "Frame:", "Meshes:", "Materials:", "Bones:"};

// Everything up to and including the first blank becomes "0 ": the bone flags go.
void ClearBoneFlags(Lines& lines, size_t i) {
    const std::string_view restLine = lines[i];
    const size_t blank = restLine.find(' ');
    if (blank == std::string_view::npos || restLine.substr(0, blank + 1) == "0 ") return;
    std::string cleared = "0 ";
    cleared.append(restLine.substr(blank + 1));
    lines.Set(i, cleared);
}

// The section header lines as FindSections finds them, looking only at the
// lines that begin with a capital letter.
SectionLines FindSectionsAmong(const std::vector<std::string_view>& lines, const std::vector<size_t>& capitals) {
    SectionLines sections;
    for (size_t c = capitals.size(); c-- > 0;)
        if (NoteSectionHeader(sections, lines[capitals[c]], int64_t(capitals[c]))) break;
    return sections;
}

}  // namespace

BoneRecord BoneRecordAt(const LineSet& set, int64_t i) {
    const int64_t positionKeys = IntegerValue(LineAt(set, i + 3));
    return {Int32(i), Int32(i + 2), Int32(i + 3), Int32(WrapAdd(i + 4, positionKeys))};
}

void RebuildBoneList(LineSet& set) {
    set.BoneList.clear();
    ScanBones(set, [&](int64_t i) { set.BoneList.push_back(BoneRecordAt(set, i)); });
}

SharedText TextOf(std::string_view bytes) {
    auto text = std::make_shared<TextBlock>(bytes.size());
    if (!bytes.empty()) std::memcpy(text->Reserve(bytes.size()), bytes.data(), bytes.size());
    text->Commit(bytes.size());
    return text;
}

std::vector<std::string_view> LinesOfText(const SharedText& text, std::vector<size_t>* capitals) {
    std::vector<std::string_view> views;
    if (!text) {
        views.emplace_back();
        return views;
    }
    views.reserve(LinesRoomFor(text->Text().size()));
    PreferHugePages(views.data(), views.capacity() * sizeof(std::string_view));
    SplitLines(text->Text(), views, capitals);
    return views;
}

void LoadModelText(ModelSlot& slot, int64_t& lineCapacity, SharedText text) {
    std::vector<size_t> capitals;
    std::vector<std::string_view> views = LinesOfText(text, &capitals);
    const int64_t count = static_cast<int64_t>(views.size()) - 1;
    // The capacity follows the lines of a file that could be read, as it always has.
    if (text && count > lineCapacity) lineCapacity = count + 10;

    const SectionLines sections = FindSectionsAmong(views, capitals);
    slot.ModelLines = Lines(text, std::move(views));
    slot.LineCount = Int32(count);
    slot.BonesLine = Int32(sections.Bones);
    slot.BoneList.clear();
    std::vector<std::string> boneStatistics;
    ScanBones(slot, [&](int64_t i) {
        ClearBoneFlags(slot.ModelLines, static_cast<size_t>(i + 2));
        boneStatistics.push_back(BoneStatisticsLine(slot, i));
        slot.BoneList.push_back(BoneRecordAt(slot, i));
    });
    slot.ModelStatistics = OpenedStatistics(std::move(text), sections, std::move(boneStatistics));
    BuildKeyframeTable(slot);
}

void LoadModel(ModelSlot& slot, int64_t& lineCapacity, SharedText text,
               std::optional<std::string_view> sidecarBytes) {
    LoadModelText(slot, lineCapacity, std::move(text));
    if (sidecarBytes) ApplyKeyframeSidecar(slot.Rows, *sidecarBytes);
    MakeRestLinesUnique(slot);
}

bool IsModelText(std::string_view text) {
    bool first = true, model = false;
    // Stops at the first line that decides; real files decide within a few lines.
    ForEachLineWhile(text, [&](std::string_view line) {
        std::string_view stripped = StripBlanks(line);
        if (first && BeginsWith(stripped, kByteOrderMark)) stripped = StripBlanks(stripped.substr(kByteOrderMark.size()));
        if (first && BeginsWith(stripped, kModelHeader)) {
            model = true;
            return false;
        }
        first = false;
        if (stripped.empty() || BeginsWith(stripped, "//")) return true;
        for (std::string_view section : kSectionLines)
            if (BeginsWith(stripped, section)) model = true;
        return false;
    });
    return model;
}

OpenResult OpenModel(ModelSlot& slot, int64_t& lineCapacity, const std::string& path,
                     const std::function<void()>& pathAccepted) {
    if (path.empty()) return OpenResult::Cancelled;
    if (LowerExtensionOf(path) != "txt") return OpenResult::NotAModel;
    SharedText text = ReadTextFile(path);
    if (!text) return OpenResult::Unreadable;
    if (!IsModelText(text->Text())) return OpenResult::NotAModel;

    slot.Path = path;
    slot.DialogDefault = path;
    slot.SidecarPath = SidecarPathFor(path);
    if (pathAccepted) pathAccepted();

    const std::optional<std::string> sidecar = ReadFileBytes(slot.SidecarPath);
    LoadModel(slot, lineCapacity, std::move(text), sidecar ? std::optional<std::string_view>(*sidecar) : std::nullopt);
    return OpenResult::Opened;
}

}  // namespace vandrel
