#pragma once
// The ".csv" side file beside a model that keeps the comments of its keyframes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/ModelSlot.h"
#include "output/DateStamp.h"

namespace vandrel {

// Index, Scene and Number of one row: scenes change wherever the comment changes.
struct SceneNumber {
    int64_t Index = 0, Scene = 0, Number = 0;
};
std::vector<SceneNumber> SceneNumbering(const KeyframeTable& rows);

// The comment of a row: the text after its first blank, stripped; empty without a blank.
std::string_view RowComment(const KeyframeRow& row);

// The side file's path: the model path with its last four characters replaced by ".csv".
std::string SidecarPathFor(const std::string& modelPath);

// Sets the slot's SidecarPath and puts the stored comments on the rows whose
// keyframe numbers they name. A missing or unreadable side file changes nothing.
void ReadKeyframeSidecar(ModelSlot& slot);

// Puts the comments of side-file bytes on the rows (the last entry of a number wins).
void ApplyKeyframeSidecar(KeyframeTable& rows, std::string_view sidecarBytes);

// The whole side-file text for the slot's rows.
std::string KeyframeSidecarText(const ModelSlot& slot, const LocalTime& now, int uiLanguage);

// Writes the side file at the slot's SidecarPath; false when it could not be written.
bool WriteKeyframeSidecar(const ModelSlot& slot, const LocalTime& now, int uiLanguage);

}  // namespace vandrel
