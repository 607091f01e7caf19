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
    byPath_[slot.Path] = Saved{slot.ModelLines, slot.LineCount, slot.BonesLine, RowTexts(slot.Rows)};
}

std::optional<FramesBaseline> SavedFiles::BaselineFor(const std::string& path) const {
    auto found = byPath_.find(path);
    if (found == byPath_.end()) return std::nullopt;
    const Saved& saved = found->second;
    ModelSlot remembered;
    remembered.ModelLines = saved.lines;
    remembered.LineCount = saved.lineCount;
    remembered.BonesLine = saved.bonesLine;
    for (const std::string& row : saved.rows) remembered.Rows.push_back({row, false});
    return FramesBaselineOf(remembered);
}

bool SavedFiles::Modified(const ModelSlot& slot) const {
    if (slot.Path.empty()) return false;
    auto found = byPath_.find(slot.Path);
    if (found == byPath_.end()) return true;
    const Saved& saved = found->second;
    if (saved.lineCount != slot.LineCount || !SameRowTexts(slot.Rows, saved.rows)) return true;
    if (saved.lines.SharesViewsWith(slot.ModelLines)) return false;
    for (int64_t i = 1; i <= slot.LineCount; ++i) {
        const std::string_view a = LineAt(slot, i);
        const std::string_view b = size_t(i) < saved.lines.size() ? saved.lines[size_t(i)] : std::string_view();
        if (a.data() != b.data() && a != b) return true;
    }
    return false;
}

void SavedFiles::KeepOnly(const std::set<std::string>& paths) {
    std::erase_if(byPath_, [&](const auto& entry) { return !paths.count(entry.first); });
}

}  // namespace vandrel
