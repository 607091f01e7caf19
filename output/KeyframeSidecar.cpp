#include "output/KeyframeSidecar.h"

#include "model/KeyframeTable.h"
#include "model/Text.h"
#include "output/SafeWrite.h"

namespace vandrel {

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

std::string KeyframeSidecarText(const ModelSlot& slot, const LocalTime& now, Language uiLanguage) {
    std::string text(FileStemOf(slot.SidecarPath));
    text += " - Keyframes     " + DateStamp(now, uiLanguage) + "\r\n\r\n";
    text += uiLanguage == Language::German ? "Index;Keyframe;Kommentar;Szene;Nummer\r\n" : "Index;Keyframe;Comment;Scene;Number\r\n";
    const std::vector<SceneNumber> numbers = SceneNumbering(slot.Rows);
    for (size_t i = 0; i < slot.Rows.size(); ++i) {
        text += DecimalText(numbers[i].Index) + ";" + DecimalText(FrameNumberOfRow(slot.Rows[i])) + ";";
        text += RowComment(slot.Rows[i]);
        text += ";" + DecimalText(numbers[i].Scene) + ";" + DecimalText(numbers[i].Number) + "\r\n";
    }
    return text;
}

bool WriteKeyframeSidecar(const ModelSlot& slot, const LocalTime& now, Language uiLanguage) {
    return WriteFileSafely(slot.SidecarPath, KeyframeSidecarText(slot, now, uiLanguage));
}

}  // namespace vandrel
