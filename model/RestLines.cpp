#include "model/RestLines.h"

#include <set>
#include <unordered_map>
#include <unordered_set>

#include "model/IntegerValue.h"
#include "model/ModelReader.h"
#include "model/Text.h"

namespace vandrel {

namespace {

// A pathological file may hold more identical bones than six digits can tell
// apart; real skeletons settle after two passes.
constexpr int kMaxPasses = 10000;

bool AllDistinct(const std::vector<std::string>& texts) {
    std::unordered_set<std::string_view> seen;
    for (const std::string& t : texts)
        if (!seen.insert(t).second) return false;
    return true;
}

// One pass of the adjustment: for each i in order, every later entry equal to
// entry i takes the next text, and later comparisons see the changes. Equal
// entries are kept in groups so that a pass over many identical bones stays
// fast; the result is that of comparing every pair. Returns whether anything
// changed.
class AdjustmentPass {
public:
    explicit AdjustmentPass(const std::vector<std::string>& w) : groupOf_(w.size()) {
        for (size_t j = 0; j < w.size(); ++j) {
            auto [it, fresh] = groupOfText_.try_emplace(w[j], groups_.size());
            if (fresh) groups_.push_back({w[j], {}});
            groups_[it->second].members.insert(j);
            groupOf_[j] = it->second;
        }
    }

    bool Run(std::vector<std::string>& w) {
        bool changed = false;
        for (size_t i = 0; i + 1 < w.size(); ++i) changed |= Step(i);
        for (size_t j = 0; j < w.size(); ++j) w[j] = groups_[groupOf_[j]].text;
        return changed;
    }

private:
    struct Group {
        std::string text;
        std::set<size_t> members;
    };

    bool Step(size_t i) {
        const size_t g = groupOf_[i];
        std::set<size_t>& members = groups_[g].members;
        auto after = members.upper_bound(i);
        if (after == members.end()) return false;
        const std::string text = groups_[g].text;
        const std::string next = NextRestLineText(text);
        size_t moving;
        if (*members.begin() == i) {
            // Everything but i moves: i gets a group of its own, the old group
            // takes the next text.
            members.erase(members.begin());
            moving = g;
            groups_.push_back({text, {i}});
            groupOf_[i] = groups_.size() - 1;
            groupOfText_[text] = groupOf_[i];
        } else {
            groups_.push_back({next, {}});
            moving = groups_.size() - 1;
            std::set<size_t>& source = groups_[g].members;
            for (auto it = source.upper_bound(i); it != source.end();) {
                groupOf_[*it] = moving;
                groups_[moving].members.insert(*it);
                it = source.erase(it);
            }
        }
        groups_[moving].text = next;
        auto existing = groupOfText_.find(next);
        if (existing == groupOfText_.end() || existing->second == moving) {
            groupOfText_[next] = moving;
        } else {
            groupOfText_[next] = Merge(existing->second, moving);
        }
        return true;
    }

    // Joins two groups of the same text, moving the smaller into the larger.
    size_t Merge(size_t a, size_t b) {
        if (groups_[a].members.size() < groups_[b].members.size()) std::swap(a, b);
        for (size_t m : groups_[b].members) {
            groups_[a].members.insert(m);
            groupOf_[m] = a;
        }
        groups_[b].members.clear();
        return a;
    }

    std::vector<Group> groups_;
    std::vector<size_t> groupOf_;
    std::unordered_map<std::string, size_t> groupOfText_;
};

bool AdjustOnePass(std::vector<std::string>& w) { return AdjustmentPass(w).Run(w); }

}  // namespace

std::string NextRestLineText(const std::string& text) {
    const size_t keep = text.size() > 6 ? text.size() - 6 : 0;
    std::string counted = "000000" + DecimalText(WrapAdd(IntegerValue(std::string_view(text).substr(keep)), 1));
    return text.substr(0, keep) + counted.substr(counted.size() - 6);
}

void MakeRestLinesUnique(ModelSlot& slot) {
    slot.RestLinesAdjusted = false;
    slot.LoadedRestLines.clear();
    std::vector<int64_t> restLines;
    ScanBones(slot, slot.BonesLine, int64_t{slot.LineCount} - 1, [&](int64_t i) {
        restLines.push_back(i + 2);
        slot.LoadedRestLines.emplace_back(StripBlanks(LineAt(slot, i + 2)));
    });
    if (slot.LoadedRestLines.empty() || AllDistinct(slot.LoadedRestLines)) return;

    std::vector<std::string> w = slot.LoadedRestLines;
    for (int pass = 0; pass < kMaxPasses && AdjustOnePass(w); ++pass) slot.RestLinesAdjusted = true;
    if (!slot.RestLinesAdjusted) return;
    for (size_t k = 0; k < restLines.size(); ++k) {
        const int64_t line = restLines[k];
        if (line >= 1 && line < static_cast<int64_t>(slot.ModelLines.size()))
            slot.ModelLines[static_cast<size_t>(line)] = w[k];
    }
}

}  // namespace vandrel
