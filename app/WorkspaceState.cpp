#include "app/WorkspaceState.h"

#include <algorithm>
#include <unordered_map>

namespace vandrel {

namespace {

// A chunk ends after a line whose view hashes to one of 64 values, so chunks hold
// 64 lines on average and where they end depends only on the lines themselves.
// A long run without such a line ends after this many lines.
constexpr size_t kMaxChunk = 512;

uint64_t ViewHash(std::string_view line) {
    const uint64_t x = (reinterpret_cast<uintptr_t>(line.data()) ^ (uint64_t(line.size()) << 48)) *
                       0x9E3779B97F4A7C15ull;
    return x ^ (x >> 29);
}

bool SameViews(const std::vector<std::string_view>& a, const std::string_view* b, size_t n) {
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i)
        if (a[i].data() != b[i].data() || a[i].size() != b[i].size()) return false;
    return true;
}

bool SameText(std::string_view a, std::string_view b) {
    return (a.data() == b.data() && a.size() == b.size()) || a == b;
}

template <class Row>
bool SameRows(const std::vector<Row>& a, const std::vector<Row>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].RowText != b[i].RowText || a[i].Selected != b[i].Selected) return false;
    return true;
}

bool SameSlot(const ModelSlot& slot, const SlotState& s) {
    return slot.LineCount == s.LineCount && slot.BonesLine == s.BonesLine && slot.BoneList == s.BoneList &&
           slot.RestLinesAdjusted == s.RestLinesAdjusted && slot.Path == s.Path &&
           slot.DialogDefault == s.DialogDefault && slot.SidecarPath == s.SidecarPath && SameRows(slot.Rows, s.Rows) &&
           slot.LoadedRestLines == s.LoadedRestLines && SameLines(slot, s.lines) &&
           slot.ModelStatistics == s.ModelStatistics;  // last: it may have to work them out
}

bool SameClipboard(const Clipboard& clip, const ClipboardState& s) {
    return clip.LineCount == s.LineCount && clip.BonesLine == s.BonesLine && clip.BoneList == s.BoneList &&
           clip.ClipboardSource == s.ClipboardSource && SameRows(clip.Rows, s.Rows) && SameLines(clip, s.lines);
}

std::shared_ptr<const SlotState> SaveSlot(const ModelSlot& slot, const SlotState* previous) {
    if (previous && SameSlot(slot, *previous)) return nullptr;
    auto s = std::make_shared<SlotState>();
    s->lines = SaveLines(slot, previous ? &previous->lines : nullptr);
    s->LineCount = slot.LineCount;
    s->BonesLine = slot.BonesLine;
    s->BoneList = slot.BoneList;
    s->Rows = slot.Rows;
    s->ModelStatistics = slot.ModelStatistics;
    s->LoadedRestLines = slot.LoadedRestLines;
    s->RestLinesAdjusted = slot.RestLinesAdjusted;
    s->Path = slot.Path;
    s->DialogDefault = slot.DialogDefault;
    s->SidecarPath = slot.SidecarPath;
    return s;
}

std::shared_ptr<const ClipboardState> SaveClipboard(const Clipboard& clip, const ClipboardState* previous) {
    if (previous && SameClipboard(clip, *previous)) return nullptr;
    auto s = std::make_shared<ClipboardState>();
    s->lines = SaveLines(clip, previous ? &previous->lines : nullptr);
    s->LineCount = clip.LineCount;
    s->BonesLine = clip.BonesLine;
    s->BoneList = clip.BoneList;
    s->Rows = clip.Rows;
    s->ClipboardSource = clip.ClipboardSource;
    return s;
}

Lines RestoreLines(const LinesState& s) {
    Lines lines;
    std::vector<std::string_view>& views = lines.Views();
    views.reserve(s.count + 1);
    for (const auto& chunk : s.chunks) views.insert(views.end(), chunk->views.begin(), chunk->views.end());
    lines.SetTexts(s.texts);
    return lines;
}

}  // namespace

bool SameLines(const LineSet& set, const LinesState& lines) {
    if (size_t(std::max<int32_t>(set.LineCount, 0)) != lines.count) return false;
    size_t i = 1;
    for (const auto& chunk : lines.chunks)
        for (std::string_view line : chunk->views)
            if (!SameText(LineAt(set, int64_t(i++)), line)) return false;
    return true;
}

LinesState SaveLines(const LineSet& set, const LinesState* previous) {
    std::unordered_map<uint64_t, std::vector<const std::shared_ptr<const LineChunk>*>> known;
    if (previous)
        for (const auto& chunk : previous->chunks) known[chunk->hash].push_back(&chunk);

    LinesState s;
    s.count = size_t(std::max<int32_t>(set.LineCount, 0));
    s.texts = set.ModelLines.Texts();
    const std::string_view* views = set.ModelLines.Views().data() + 1;
    size_t start = 0;
    uint64_t hash = 0;
    for (size_t i = 0; i < s.count; ++i) {
        const uint64_t h = ViewHash(views[i]);
        hash = (hash ^ h) * 0x100000001B3ull;
        if ((h >> 58) != 0 && i + 1 - start < kMaxChunk && i + 1 < s.count) continue;
        const size_t n = i + 1 - start;
        std::shared_ptr<const LineChunk> chunk;
        if (auto found = known.find(hash); found != known.end())
            for (const auto* candidate : found->second)
                if (SameViews((*candidate)->views, views + start, n)) chunk = *candidate;
        if (!chunk) chunk = std::make_shared<const LineChunk>(LineChunk{{views + start, views + start + n}, hash});
        s.chunks.push_back(std::move(chunk));
        start = i + 1;
        hash = 0;
    }
    return s;
}

WorkspaceState SaveWorkspaceState(const Workspace& ws, const WorkspaceState* previous) {
    WorkspaceState state;
    for (int n = 0; n < 2; ++n) {
        const SlotState* before = previous ? previous->files[n].get() : nullptr;
        state.files[n] = SaveSlot(ws.Files[n], before);
        if (!state.files[n]) state.files[n] = previous->files[n];
    }
    state.clipboard = SaveClipboard(ws.Clip, previous ? previous->clipboard.get() : nullptr);
    if (!state.clipboard) state.clipboard = previous->clipboard;
    return state;
}

void RestoreWorkspaceState(Workspace& ws, const WorkspaceState& state) {
    for (int n = 0; n < 2; ++n) {
        const SlotState& s = *state.files[n];
        ModelSlot& slot = ws.Files[n];
        slot.ModelLines = RestoreLines(s.lines);
        slot.LineCount = s.LineCount;
        slot.BonesLine = s.BonesLine;
        slot.BoneList = s.BoneList;
        slot.Rows = s.Rows;
        slot.ModelStatistics = s.ModelStatistics;
        slot.LoadedRestLines = s.LoadedRestLines;
        slot.RestLinesAdjusted = s.RestLinesAdjusted;
        slot.Path = s.Path;
        slot.DialogDefault = s.DialogDefault;
        slot.SidecarPath = s.SidecarPath;
    }
    const ClipboardState& c = *state.clipboard;
    ws.Clip.ModelLines = RestoreLines(c.lines);
    ws.Clip.LineCount = c.LineCount;
    ws.Clip.BonesLine = c.BonesLine;
    ws.Clip.BoneList = c.BoneList;
    ws.Clip.Rows = c.Rows;
    ws.Clip.ClipboardSource = c.ClipboardSource;
}

bool SameAsState(const Workspace& ws, const WorkspaceState& state) {
    return SameSlot(ws.Files[0], *state.files[0]) && SameSlot(ws.Files[1], *state.files[1]) &&
           SameClipboard(ws.Clip, *state.clipboard);
}

size_t ChunkBytes(const LinesState& lines) {
    size_t bytes = 0;
    for (const auto& chunk : lines.chunks) bytes += sizeof(LineChunk) + chunk->views.size() * sizeof(std::string_view);
    return bytes;
}

}  // namespace vandrel
