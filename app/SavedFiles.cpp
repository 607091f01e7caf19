#include "app/SavedFiles.h"

#include <algorithm>

namespace vandrel {

namespace {

// Row texts alike; the selection is no change to the file.
bool SameRowTexts(const KeyframeTable& a, const KeyframeTable& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const KeyframeRow& x, const KeyframeRow& y) { return x.RowText == y.RowText; });
}

}  // namespace

void SavedFiles::Remember(const ModelSlot& slot) {
    if (slot.Path.empty()) return;
    byPath_[slot.Path] = Saved{slot, slot.Rows};
}

std::optional<FramesBaseline> SavedFiles::BaselineFor(const std::string& path) const {
    auto found = byPath_.find(path);
    if (found == byPath_.end()) return std::nullopt;
    ModelSlot remembered;
    static_cast<LineSet&>(remembered) = found->second.lines;
    remembered.Rows = found->second.rows;
    return FramesBaselineOf(remembered);
}

bool SavedFiles::Modified(const ModelSlot& slot) const {
    if (slot.Path.empty()) return false;
    auto found = byPath_.find(slot.Path);
    if (found == byPath_.end()) return true;
    const Saved& saved = found->second;
    return !SameRowTexts(slot.Rows, saved.rows) || !SameValidLines(slot, saved.lines);
}

void SavedFiles::KeepOnly(const std::set<std::string>& paths) {
    std::erase_if(byPath_, [&](const auto& entry) { return !paths.count(entry.first); });
}

}  // namespace vandrel
