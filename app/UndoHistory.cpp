#include "app/UndoHistory.h"

#include <unordered_set>

namespace vandrel {

namespace {

size_t RowBytes(const KeyframeTable& rows) {
    size_t bytes = 0;
    for (const KeyframeRow& row : rows) bytes += sizeof(KeyframeRow) + row.RowText.size();
    return bytes;
}

// The bytes `state` brought beyond `older`: parts that are not shared, their
// chunks and text blocks that `older` does not hold.
size_t BroughtBytes(const WorkspaceState& state, const WorkspaceState* older) {
    size_t bytes = 0;
    auto lines = [&](const LinesState& now, const LinesState* before) {
        std::unordered_set<const void*> known;
        if (before) {
            for (const auto& chunk : before->chunks) known.insert(chunk.get());
            for (const SharedText& text : before->texts) known.insert(text.get());
        }
        for (const auto& chunk : now.chunks)
            if (!known.count(chunk.get())) bytes += sizeof(LineChunk) + chunk->views.size() * sizeof(std::string_view);
        for (const SharedText& text : now.texts)
            if (!known.count(text.get())) bytes += text->Capacity();
    };
    for (int n = 0; n < 2; ++n) {
        const SlotState* before = older ? older->files[n].get() : nullptr;
        if (before == state.files[n].get()) continue;
        lines(state.files[n]->lines, before ? &before->lines : nullptr);
        bytes += RowBytes(state.files[n]->fields.Rows) + sizeof(SlotState);
    }
    const ClipboardState* before = older ? older->clipboard.get() : nullptr;
    if (before != state.clipboard.get()) {
        lines(state.clipboard->lines, before ? &before->lines : nullptr);
        bytes += RowBytes(state.clipboard->fields.Rows) + sizeof(ClipboardState);
    }
    return bytes;
}

}  // namespace

const WorkspaceState* UndoHistory::Newest() const {
    if (marked_) return &mark_;
    if (!redo_.empty()) return &redo_.back().state;
    if (!undo_.empty()) return &undo_.back().state;
    return nullptr;
}

UndoHistory::Step UndoHistory::MakeStep(const Workspace& ws, bool isOpen) {
    const WorkspaceState* newest = Newest();
    Step step{SaveWorkspaceState(ws, newest), isOpen, 0};
    step.bytes = BroughtBytes(step.state, newest);
    return step;
}

void UndoHistory::Begin(const Workspace& ws) {
    marked_ = false;
    WorkspaceState state = SaveWorkspaceState(ws, Newest());
    mark_ = std::move(state);
    marked_ = true;
}

void UndoHistory::Cancel() {
    marked_ = false;
    mark_ = {};
}

void UndoHistory::End(const Workspace& ws, bool isOpen) {
    if (!marked_) return;
    if (SameAsState(ws, mark_)) {
        Cancel();
        return;
    }
    const WorkspaceState* older = undo_.empty() ? nullptr : &undo_.back().state;
    Step step{std::move(mark_), isOpen, 0};
    step.bytes = BroughtBytes(step.state, older);
    Cancel();
    for (const Step& dropped : redo_) bytes_ -= dropped.bytes;
    redo_.clear();
    Push(undo_, std::move(step));
    Trim();
}

void UndoHistory::Push(std::deque<Step>& stack, Step step) {
    bytes_ += step.bytes;
    stack.push_back(std::move(step));
}

void UndoHistory::Trim() {
    while (!undo_.empty() && (undo_.size() > kMaxSteps || bytes_ > kMaxBytes)) {
        bytes_ -= undo_.front().bytes;
        undo_.pop_front();
    }
}

bool UndoHistory::Move(std::deque<Step>& from, std::deque<Step>& to, Workspace& ws, bool& wasOpen) {
    if (from.empty()) return false;
    Cancel();
    Step now = MakeStep(ws, from.back().isOpen);
    wasOpen = from.back().isOpen;
    RestoreWorkspaceState(ws, from.back().state);
    bytes_ -= from.back().bytes;
    from.pop_back();
    Push(to, std::move(now));
    Trim();
    return true;
}

bool UndoHistory::Undo(Workspace& ws, bool& wasOpen) { return Move(undo_, redo_, ws, wasOpen); }
bool UndoHistory::Redo(Workspace& ws, bool& wasOpen) { return Move(redo_, undo_, ws, wasOpen); }

}  // namespace vandrel
