#pragma once
// Undo and Redo of the Edit menu: the workspace as it was before each recorded
// command, and as each Undo found it, for Redo. States share every chunk of lines
// that did not change, so a step costs about what the command changed.
#include <cstddef>
#include <deque>
#include <vector>

#include "app/WorkspaceState.h"

namespace vandrel {

class UndoHistory {
public:
    // The most steps kept, and the most memory the steps may hold; past either
    // the oldest steps go.
    static constexpr size_t kMaxSteps = 100;
    static constexpr size_t kMaxBytes = size_t{1} << 30;

    // Before a command that may be recorded: remembers the workspace as it is.
    void Begin(const Workspace& ws);
    // After it: the command is recorded when it changed the workspace (`isOpen`
    // tells an Open), and what could be redone is gone. A command that changed
    // nothing leaves the history as it was.
    void End(const Workspace& ws, bool isOpen);
    // After a command that is not recorded after all (a rejected open).
    void Cancel();

    bool CanUndo() const { return !undo_.empty(); }
    size_t UndoSteps() const { return undo_.size(); }
    bool CanRedo() const { return !redo_.empty(); }

    // Puts the workspace back as it was before the last recorded command (Undo),
    // or as the matching Undo found it (Redo). False when there is nothing to do;
    // `wasOpen` tells whether the step was an Open.
    bool Undo(Workspace& ws, bool& wasOpen);
    bool Redo(Workspace& ws, bool& wasOpen);

    // The states held, newest last, for whoever needs to know what they keep.
    template <class Visit>
    void ForEachState(Visit&& visit) const {
        for (const Step& step : undo_) visit(step.state);
        for (const Step& step : redo_) visit(step.state);
    }

    // What the steps hold by an estimate: line chunks, text and rows they brought.
    size_t Bytes() const { return bytes_; }

private:
    struct Step {
        WorkspaceState state;
        bool isOpen = false;
        size_t bytes = 0;
    };

    // The newest state saved, to share parts with.
    const WorkspaceState* Newest() const;
    Step MakeStep(const Workspace& ws, bool isOpen);
    void Push(std::deque<Step>& stack, Step step);
    // Undo and Redo: the workspace takes the newest state of `from`, and what it
    // held goes onto `to`.
    bool Move(std::deque<Step>& from, std::deque<Step>& to, Workspace& ws, bool& wasOpen);
    void Trim();

    std::deque<Step> undo_, redo_;
    WorkspaceState mark_;
    bool marked_ = false;
    size_t bytes_ = 0;
};

}  // namespace vandrel
