#include "model/RestLines.h"

#include <charconv>
#include <cstdint>
#include <optional>
#include <system_error>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "model/IntegerValue.h"
#include "model/ModelReader.h"
#include "model/Text.h"

namespace vandrel {

namespace {

// A file may hold more identical bones than six digits can tell apart; their
// rest lines never settle. The work is bounded so that such a file still opens.
// Real skeletons settle within a few steps; a step is one entry found equal to
// entries after it.
constexpr uint64_t kMaxSteps = uint64_t{1} << 20;

bool AllDistinct(const std::vector<std::string>& texts) {
    std::unordered_set<std::string_view> seen;
    for (const std::string& t : texts)
        if (!seen.insert(t).second) return false;
    return true;
}

// The passes of the adjustment. In one pass, for i = 0, 1, ..., K - 1, every
// later entry equal to entry i takes the next text, and later comparisons see
// the changes; passes repeat until one changes nothing. Comparing every pair
// costs K² per pass, and a chain of near-duplicates can need K passes. Here
// equal entries are kept in groups, and a pass only visits the entries that have
// an equal entry after them (the active ones); the entries it skips are exactly
// those where comparing every pair would change nothing, so the result is the
// same.
class RestLineSettler {
public:
    explicit RestLineSettler(const std::vector<std::string>& w) : groupOf_(w.size()) {
        for (uint32_t j = 0; j < w.size(); ++j) {
            auto [it, fresh] = groupOfText_.try_emplace(w[j], static_cast<uint32_t>(groups_.size()));
            if (fresh) groups_.push_back({w[j], {}});
            Add(it->second, j);
        }
    }

    // Runs passes until one changes nothing; true when any entry changed.
    bool Settle() {
        bool changed = false;
        uint64_t steps = 0;
        for (;;) {
            bool passChanged = false;
            uint32_t cursor = 0;
            for (auto it = active_.lower_bound(cursor); it != active_.end(); it = active_.lower_bound(cursor)) {
                const uint32_t i = *it;
                Step(i);
                passChanged = true;
                cursor = i + 1;
                if (++steps >= kMaxSteps) return true;
            }
            if (!passChanged) return changed;
            changed = true;
        }
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> w;
        w.reserve(groupOf_.size());
        for (uint32_t g : groupOf_) w.push_back(groups_[g].text);
        return w;
    }

private:
    struct Group {
        std::string text;
        std::set<uint32_t> members;
    };

    // Membership changes keep `active_` right: every member but the last of a
    // group has an equal entry after it.
    void Add(uint32_t g, uint32_t m) {
        std::set<uint32_t>& members = groups_[g].members;
        if (!members.empty()) {
            const uint32_t last = *members.rbegin();
            active_.insert(m > last ? last : m);
        }
        members.insert(m);
        groupOf_[m] = g;
    }

    void Remove(uint32_t g, uint32_t m) {
        std::set<uint32_t>& members = groups_[g].members;
        const bool wasLast = m == *members.rbegin();
        members.erase(m);
        if (!wasLast) active_.erase(m);
        else if (!members.empty()) active_.erase(*members.rbegin());
    }

    // Entry i has equal entries after it: they take the next text. Whichever side
    // of i is smaller moves; the other keeps the group.
    void Step(uint32_t i) {
        const uint32_t g = groupOf_[i];
        const std::string text = groups_[g].text;
        std::string next = NextRestLineText(text);
        std::set<uint32_t>& members = groups_[g].members;
        const auto split = members.upper_bound(i);
        bool leftSmaller = false;
        for (auto l = members.begin(), r = split;; ++l, ++r) {
            if (l == split) { leftSmaller = true; break; }
            if (r == members.end()) break;
        }
        if (leftSmaller) {
            const std::vector<uint32_t> left(members.begin(), split);
            const uint32_t kept = static_cast<uint32_t>(groups_.size());
            groups_.push_back({text, {}});
            for (uint32_t m : left) {
                Remove(g, m);
                Add(kept, m);
            }
            groupOfText_[text] = kept;
            Rename(g, std::move(next));
        } else {
            const std::vector<uint32_t> right(split, groups_[g].members.end());
            const uint32_t target = GroupFor(std::move(next));
            for (auto m = right.rbegin(); m != right.rend(); ++m) {
                Remove(g, *m);
                Add(target, *m);
            }
        }
    }

    // The group that holds `text`, made when there is none.
    uint32_t GroupFor(std::string text) {
        auto [it, fresh] = groupOfText_.try_emplace(text, static_cast<uint32_t>(groups_.size()));
        if (fresh) groups_.push_back({std::move(text), {}});
        return it->second;
    }

    // Group g takes a new text and joins the group that already holds it.
    void Rename(uint32_t g, std::string text) {
        groups_[g].text = text;
        auto [it, fresh] = groupOfText_.try_emplace(std::move(text), g);
        if (!fresh && it->second != g) it->second = Merge(it->second, g);
    }

    // Moves the smaller group into the larger one; returns the larger.
    uint32_t Merge(uint32_t a, uint32_t b) {
        if (groups_[a].members.size() < groups_[b].members.size()) std::swap(a, b);
        const std::vector<uint32_t> moving(groups_[b].members.begin(), groups_[b].members.end());
        for (uint32_t m : moving) {
            Remove(b, m);
            Add(a, m);
        }
        return a;
    }

    std::vector<Group> groups_;
    std::vector<uint32_t> groupOf_;
    std::unordered_map<std::string, uint32_t> groupOfText_;
    std::set<uint32_t> active_;
};

}  // namespace

namespace {

// Optional sign, digits with at most one point (at least one digit), optional
// exponent: the numbers exporters write.
bool IsDecimalNumber(std::string_view t) {
    size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t digits = 0, points = 0;
    for (; i < t.size() && ((t[i] >= '0' && t[i] <= '9') || t[i] == '.'); ++i) (t[i] == '.' ? points : digits)++;
    if (digits == 0 || points > 1) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        const size_t start = i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
        if (i == start) return false;
    }
    return i == t.size();
}

// The number with six decimals, as printf's "%.6f" writes it in the C locale;
// none when it lies outside what a double holds.
std::optional<std::string> SixDecimals(std::string_view number) {
    if (number[0] == '+') number.remove_prefix(1);
    double value = 0;
    if (std::from_chars(number.data(), number.data() + number.size(), value).ec != std::errc()) return std::nullopt;
    char buffer[400];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    std::string text(buffer, written.ptr);
    if (text == "-0.000000") text = "0.000000";
    return text;
}

}  // namespace

std::optional<std::string> NormalRestLine(std::string_view text) {
    std::string_view fields[8];
    size_t count = 0;
    for (size_t i = 0; i < text.size();) {
        while (i < text.size() && text[i] == ' ') ++i;
        if (i == text.size()) break;
        const size_t start = i;
        while (i < text.size() && text[i] != ' ') ++i;
        if (count == 7) return std::nullopt;
        fields[count++] = text.substr(start, i - start);
    }
    if (count != 7) return std::nullopt;
    for (size_t f = 1; f < 7; ++f)
        if (!IsDecimalNumber(fields[f])) return std::nullopt;
    std::string normal(fields[0]);
    for (size_t f = 1; f < 7; ++f) {
        const std::optional<std::string> number = SixDecimals(fields[f]);
        if (!number) return std::nullopt;
        normal += ' ';
        normal += *number;
    }
    return normal;
}

std::string NextRestLineText(const std::string& text) {
    const size_t keep = text.size() > 6 ? text.size() - 6 : 0;
    std::string counted = "000000" + DecimalText(WrapAdd(IntegerValue(std::string_view(text).substr(keep)), 1));
    return text.substr(0, keep) + counted.substr(counted.size() - 6);
}

void MakeRestLinesUnique(ModelSlot& slot) {
    slot.RestLinesAdjusted = false;
    slot.LoadedRestLines.clear();
    std::vector<int64_t> restLines;
    ScanBones(slot, [&](int64_t i) {
        restLines.push_back(i + 2);
        slot.LoadedRestLines.emplace_back(StripBlanks(LineAt(slot, i + 2)));
    });
    if (slot.LoadedRestLines.empty()) return;

    std::vector<std::string> w;
    w.reserve(slot.LoadedRestLines.size());
    for (size_t k = 0; k < restLines.size(); ++k) {
        std::optional<std::string> normal = NormalRestLine(slot.LoadedRestLines[k]);
        if (normal && *normal != LineAt(slot, restLines[k])) slot.RestLinesAdjusted = true;
        w.push_back(normal ? std::move(*normal) : slot.LoadedRestLines[k]);
    }
    if (!AllDistinct(w)) {
        RestLineSettler settler(w);
        if (settler.Settle()) {
            slot.RestLinesAdjusted = true;
            w = settler.Texts();
        }
    }
    if (!slot.RestLinesAdjusted) return;
    for (size_t k = 0; k < restLines.size(); ++k) slot.ModelLines.Set(static_cast<size_t>(restLines[k]), w[k]);
    // In a malformed file a rest line can be the next bone's quoted name; an
    // adjusted text of six characters or fewer loses the quote, and the bone index
    // must follow the lines.
    RebuildBoneList(slot);
}

}  // namespace vandrel
