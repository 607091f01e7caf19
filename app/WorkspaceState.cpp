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

template <class Set, class Fields>
bool SameSet(const Set& set, const SetState<Fields>& s) {
    return static_cast<const LineIndex&>(set) == s.index && SameLines(set, s.lines) &&
           static_cast<const Fields&>(set) == s.fields;
}

// The set as a state, or `previous` when it holds just that.
template <class Set, class Fields>
std::shared_ptr<const SetState<Fields>> SaveSet(const Set& set, const std::shared_ptr<const SetState<Fields>>& previous) {
    if (previous && SameSet(set, *previous)) return previous;
    return std::make_shared<const SetState<Fields>>(
        SetState<Fields>{SaveLines(set, previous ? &previous->lines : nullptr), set, set});
}

Lines RestoreLines(const LinesState& s) {
    Lines lines;
    std::vector<std::string_view>& views = lines.Views();
    views.reserve(s.count + 1);
    for (const auto& chunk : s.chunks) views.insert(views.end(), chunk->views.begin(), chunk->views.end());
    lines.SetTexts(s.texts);
    return lines;
}

template <class Set, class Fields>
void RestoreSet(Set& set, const SetState<Fields>& s) {
    set.ModelLines = RestoreLines(s.lines);
    static_cast<LineIndex&>(set) = s.index;
    static_cast<Fields&>(set) = s.fields;
}

}  // namespace

bool SameLines(const LineSet& set, const LinesState& lines) {
    if (size_t(std::max<int32_t>(set.LineCount, 0)) != lines.count) return false;
    size_t i = 1;
    for (const auto& chunk : lines.chunks)
        for (std::string_view line : chunk->views)
            if (!SameLineText(LineAt(set, int64_t(i++)), line)) return false;
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
    for (int n = 0; n < 2; ++n) state.files[n] = SaveSet(ws.Files[n], previous ? previous->files[n] : nullptr);
    state.clipboard = SaveSet(ws.Clip, previous ? previous->clipboard : nullptr);
    return state;
}

void RestoreWorkspaceState(Workspace& ws, const WorkspaceState& state) {
    for (int n = 0; n < 2; ++n) RestoreSet(ws.Files[n], *state.files[n]);
    RestoreSet(ws.Clip, *state.clipboard);
}

bool SameAsState(const Workspace& ws, const WorkspaceState& state) {
    return SameSet(ws.Files[0], *state.files[0]) && SameSet(ws.Files[1], *state.files[1]) &&
           SameSet(ws.Clip, *state.clipboard);
}

size_t ChunkBytes(const LinesState& lines) {
    size_t bytes = 0;
    for (const auto& chunk : lines.chunks) bytes += sizeof(LineChunk) + chunk->views.size() * sizeof(std::string_view);
    return bytes;
}

}  // namespace vandrel
