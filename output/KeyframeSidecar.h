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

// The whole side-file text for the slot's rows.
std::string KeyframeSidecarText(const ModelSlot& slot, const LocalTime& now, Language uiLanguage);

// Writes the side file at the slot's SidecarPath; false when it could not be written.
bool WriteKeyframeSidecar(const ModelSlot& slot, const LocalTime& now, Language uiLanguage);

}  // namespace vandrel
