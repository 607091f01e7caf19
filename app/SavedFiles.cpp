#include "app/SavedFiles.h"

namespace vandrel {

namespace {

std::vector<std::string> RowTexts(const KeyframeTable& rows) {
    std::vector<std::string> texts;
    texts.reserve(rows.size());
    for (const KeyframeRow& row : rows) texts.push_back(row.RowText);
    return texts;
}

bool SameRowTexts(const KeyframeTable& rows, const std::vector<std::string>& texts) {
    if (rows.size() != texts.size()) return false;
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].RowText != texts[i]) return false;
    return true;
}

}  // namespace

void SavedFiles::Remember(const ModelSlot& slot) {
    if (slot.Path.empty()) return;
    byPath_[slot.Path] = Saved{slot, RowTexts(slot.Rows)};
}

std::optional<FramesBaseline> SavedFiles::BaselineFor(const std::string& path) const {
    auto found = byPath_.find(path);
    if (found == byPath_.end()) return std::nullopt;
    const Saved& saved = found->second;
    ModelSlot remembered;
    static_cast<LineSet&>(remembered) = saved.lines;
    for (const std::string& row : saved.rows) remembered.Rows.push_back({row, false});
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
