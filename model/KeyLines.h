#pragma once
// How the lines of a bones section are read: key lines, their frame numbers and
// the key counts above them.
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/IntegerValue.h"
#include "model/Text.h"
#include "model/ModelSlot.h"

namespace vandrel {

// The count mark put into count lines while keys change.
inline constexpr std::string_view kCountMark = "?";

// The frame number of a line: the integer part of a key's time, kept in 32 bits.
inline int32_t FrameNumberOfLine(std::string_view line) { return Int32(IntegerValue(line)); }

// A key line holds a time and x, y, z: exactly four fields separated by blanks,
// not beginning with a blank or a double quote. Exporters write times below 1
// ("0.735294") and times without a point ("5 0 0 0"); both are keys. Only lines
// inside a bones section are ever asked.
bool IsKeyLine(std::string_view line);

// How many times each frame is named (by the rows taken, for instance), looked
// up for every key line of a model: a plain array over the frames' range when
// that range is small, as it is for real animations; a hash map otherwise.
class FrameCounts {
public:
    explicit FrameCounts(const std::vector<int32_t>& frames);
    int Of(int32_t frame) const {
        if (!dense_.empty()) {
            const int64_t k = int64_t{frame} - lowest_;
            return k >= 0 && k < int64_t(dense_.size()) ? dense_[size_t(k)] : 0;
        }
        auto found = sparse_.find(frame);
        return found == sparse_.end() ? 0 : found->second;
    }
    bool Empty() const { return empty_; }

private:
    int64_t lowest_ = 0;
    std::vector<int> dense_;
    std::unordered_map<int32_t, int> sparse_;
    bool empty_ = true;
};

// Walking up from line `top` to BonesLine, replaces each count mark by the number
// of key lines between it and the next mark below (or `top`).
void RecountKeys(LineSet& set, int64_t top);

}  // namespace vandrel
