#pragma once
// Which files hold changes that are not saved: for each path, the lines and row
// texts a slot held right after the last Open of that path (into either slot) or
// the last Save to it; and what a save keeps of its "Frames:" line.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "model/ModelSlot.h"
#include "output/ModelWriter.h"

namespace vandrel {

class SavedFiles {
public:
    // The slot's lines and rows are what its path holds on disk now.
    void Remember(const ModelSlot& slot);

    // Whether the slot has a path and differs from what was remembered for it.
    bool Modified(const ModelSlot& slot) const;

    // The "Frames:" baseline of what the path holds on disk, worked out when a save
    // asks for it; none when not remembered.
    std::optional<FramesBaseline> BaselineFor(const std::string& path) const;

    // Forgets every path but these (the ones the slots and the undo steps hold).
    void KeepOnly(const std::set<std::string>& paths);

private:
    struct Saved {
        LineSet lines;  // shares its views with the slot until either changes
        KeyframeTable rows;
    };
    std::map<std::string, Saved> byPath_;
};

}  // namespace vandrel
