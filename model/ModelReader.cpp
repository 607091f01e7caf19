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
    ScanBones(set, [&](int64_t i) { set.BoneList.push_back(BoneRecordAt(set, i)); });
}

namespace {

void RaiseLineCapacity(Workspace& ws, int64_t lines) {
    if (lines > ws.LineCapacity) ws.LineCapacity = lines + 10;
    ResizeLineArrays(ws);
}

// The lines of a load as they are read, with the section lines found among them.
class FreshLines {
public:
    // Takes over the slot's old line array: the load replaces its lines in any
    // case, and refilling the array and the memory its lines held costs far less
    // than allocating a large model's worth anew.
    FreshLines(ModelSlot& slot, int64_t capacity) {
        set_.ModelLines = std::move(slot.ModelLines);
        set_.ModelLines.clear();
        set_.ModelLines.reserve(static_cast<size_t>(capacity) + 1);
        set_.ModelLines.emplace_back();
        slot.ModelLines.assign(1, std::string());
        slot.LineCount = 0;
        slot.BonesLine = 0;
        slot.BoneList.clear();
    }

    void Add(std::string_view line) {
        const int64_t k = static_cast<int64_t>(set_.ModelLines.size());
        if (BeginsWith(line, "Meshes:")) sections_.Meshes = k;
        else if (BeginsWith(line, "Materials:")) sections_.Materials = k;
        else if (BeginsWith(line, "Bones:")) sections_.Bones = k;
        set_.ModelLines.emplace_back(line);
    }

    // Forgets what was read: the file turned out not to be readable.
    void Clear() {
        set_.ModelLines.resize(1);
        sections_ = {};
    }

    // Statistics, bone index with cleared bone flags, then the slot takes the lines.
    void CommitTo(Workspace& ws, int n) {
        ModelSlot& slot = ws.File(n);
        const int64_t count = static_cast<int64_t>(set_.ModelLines.size()) - 1;
        set_.LineCount = Int32(count);
        set_.BonesLine = Int32(sections_.Bones);

        std::vector<std::string> statistics = ComputeModelStatistics(set_, sections_);
        ScanBones(set_, [&](int64_t i) {
            ClearBoneFlags(set_.ModelLines[static_cast<size_t>(i + 2)]);
            statistics.push_back(BoneStatisticsLine(set_, i));
            set_.BoneList.push_back(BoneRecordAt(set_, i));
        });

        set_.ModelLines.reserve(static_cast<size_t>(ws.LineCapacity) + 1);
        static_cast<LineSet&>(slot) = std::move(set_);
        slot.ModelStatistics = std::move(statistics);
    }

private:
    LineSet set_;
    SectionLines sections_;
};

// The number of lines of the file; none when it cannot be read.
std::optional<int64_t> CountFileLines(const std::string& path) {
    int64_t count = 0;
    LineSplitter splitter;
    auto counted = [&](std::string_view) { ++count; };
    if (!ReadFilePieces(path, [&](std::string_view piece) {
            splitter.Feed(piece, counted);
            return true;
        }))
        return std::nullopt;
    splitter.Finish(counted);
    return count;
}

// The first line of the file; none when it cannot be read. Reads only as far as
// the first line goes.
std::optional<std::string> ReadFirstLine(const std::string& path) {
    std::string head;
    if (!ReadFilePieces(path, [&](std::string_view piece) {
            head.append(piece);
            return piece.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
        }))
        return std::nullopt;
    return std::string(FirstLine(head));
}

// LoadModel over the file at the slot's path, read in pieces.
void LoadModelFromFile(Workspace& ws, int n) {
    ModelSlot& slot = ws.File(n);
    slot.ModelStatistics.clear();
    FreshLines fresh(slot, ws.LineCapacity);
    LineSplitter splitter;
    auto add = [&](std::string_view line) { fresh.Add(line); };
    if (ReadFilePieces(slot.Path, [&](std::string_view piece) {
            splitter.Feed(piece, add);
            return true;
        }))
        splitter.Finish(add);
    else
        fresh.Clear();
    fresh.CommitTo(ws, n);
    // A file that grew after it was counted still fits every array.
    if (slot.LineCount > ws.LineCapacity) RaiseLineCapacity(ws, slot.LineCount);
}

}  // namespace

void EnsureLineCapacity(Workspace& ws, std::string_view fileBytes) {
    RaiseLineCapacity(ws, static_cast<int64_t>(CountLines(fileBytes)));
}

void LoadModel(Workspace& ws, int n, const std::string* fileBytes) {
    ws.File(n).ModelStatistics.clear();
    FreshLines fresh(ws.File(n), ws.LineCapacity);
    if (fileBytes) ForEachLine(*fileBytes, [&](std::string_view line) { fresh.Add(line); });
    fresh.CommitTo(ws, n);
}

// The file is read three times, in pieces: the header test, the line count for
// the capacity, the load. Holding the whole file in memory as well as its lines
// would cost more than reading it again.
OpenResult OpenModel(Workspace& ws, int n, const std::string& path,
                     const std::function<void()>& pathAccepted) {
    if (path.empty() || LowerExtensionOf(path) != "txt") return OpenResult::Rejected;
    std::optional<std::string> firstLine = ReadFirstLine(path);
    if (firstLine && StripBlanks(*firstLine) != kModelHeader) return OpenResult::Rejected;

    ModelSlot& slot = ws.File(n);
    slot.Path = path;
    slot.DialogDefault = path;
    if (pathAccepted) pathAccepted();

    if (std::optional<int64_t> lines = CountFileLines(path)) RaiseLineCapacity(ws, *lines);
    LoadModelFromFile(ws, n);
    BuildKeyframeTable(slot);
    ReadKeyframeSidecar(slot);
    return OpenResult::Opened;
}

}  // namespace vandrel
