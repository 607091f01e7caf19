#include "output/KeyframeSidecar.h"

#include <unordered_map>

#include "model/FileBytes.h"
#include "model/IntegerValue.h"
#include "model/KeyframeTable.h"
#include "model/Text.h"
#include "output/SafeWrite.h"

namespace vandrel {

std::string_view RowComment(const KeyframeRow& row) {
    std::string_view text = row.RowText;
    size_t blank = text.find(' ');
    return blank == std::string_view::npos ? std::string_view() : StripBlanks(text.substr(blank + 1));
}

std::vector<SceneNumber> SceneNumbering(const KeyframeTable& rows) {
    std::vector<SceneNumber> numbers;
    numbers.reserve(rows.size());
    SceneNumber current;
    std::string_view previous;
    for (const KeyframeRow& row : rows) {
        ++current.Index;
        std::string_view comment = RowComment(row);
        if (comment != previous) {
            previous = comment;
            ++current.Scene;
            current.Number = 0;
        }
        ++current.Number;
        numbers.push_back(current);
    }
    return numbers;
}

std::string SidecarPathFor(const std::string& modelPath) {
    return modelPath.substr(0, modelPath.size() >= 4 ? modelPath.size() - 4 : 0) + ".csv";
}

void ApplyKeyframeSidecar(KeyframeTable& rows, std::string_view bytes) {
    std::unordered_map<int32_t, std::string> comments;
    ForEachLine(bytes, [&](std::string_view line) {
        size_t first = line.find(';');
        if (first == std::string_view::npos) return;
        size_t second = line.find(';', first + 1);
        if (second == std::string_view::npos) return;
        size_t third = line.find(';', second + 1);
        if (third == std::string_view::npos) return;
        const int32_t keyframe = Int32(IntegerValue(line.substr(first + 1, second - first - 1)));
        comments[keyframe] = std::string(StripBlanks(line.substr(second + 1, third - second - 1)));
    });
    for (KeyframeRow& row : rows) {
        const int32_t keyframe = FrameNumberOfRow(row);
        auto found = comments.find(keyframe);
        if (found == comments.end()) continue;
        // The number is written anew and always followed by its padding.
        std::string number = DecimalText(keyframe);
        row.RowText = number + std::string(static_cast<size_t>(RowPadding(number.size())), ' ') + found->second;
    }
}

void ReadKeyframeSidecar(ModelSlot& slot) {
    slot.SidecarPath = SidecarPathFor(slot.Path);
    if (std::optional<std::string> bytes = ReadFileBytes(slot.SidecarPath)) ApplyKeyframeSidecar(slot.Rows, *bytes);
}

std::string KeyframeSidecarText(const ModelSlot& slot, const LocalTime& now, int uiLanguage) {
    std::string_view name = FileNameOf(slot.SidecarPath);
    std::string text(name.substr(0, name.size() >= 4 ? name.size() - 4 : 0));
    text += " - Keyframes     " + DateStamp(now, uiLanguage) + "\r\n\r\n";
    text += uiLanguage == 1 ? "Index;Keyframe;Kommentar;Szene;Nummer\r\n" : "Index;Keyframe;Comment;Scene;Number\r\n";
    const std::vector<SceneNumber> numbers = SceneNumbering(slot.Rows);
    for (size_t i = 0; i < slot.Rows.size(); ++i) {
        text += DecimalText(numbers[i].Index) + ";" + DecimalText(FrameNumberOfRow(slot.Rows[i])) + ";";
        text += RowComment(slot.Rows[i]);
        text += ";" + DecimalText(numbers[i].Scene) + ";" + DecimalText(numbers[i].Number) + "\r\n";
    }
    return text;
}

bool WriteKeyframeSidecar(const ModelSlot& slot, const LocalTime& now, int uiLanguage) {
    return WriteFileSafely(slot.SidecarPath, KeyframeSidecarText(slot, now, uiLanguage));
}

}  // namespace vandrel
