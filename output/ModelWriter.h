#pragma once
// Saving a model slot back into its file, followed by its side file.
#include <string>

#include "model/Workspace.h"
#include "output/DateStamp.h"

namespace vandrel {

enum class SaveResult { Saved, ModelNotWritten, SidecarNotWritten };

// Sets the frame count (line 3) from the last keyframe and the current frame
// (line 4) in memory, writes the model with whole-frame key times and the rest
// lines as loaded, then the side file. Nothing is written after a failure.
SaveResult SaveModel(ModelSlot& slot, const LocalTime& now, int uiLanguage);

// The text SaveModel writes for the slot's lines as they stand.
std::string ModelFileText(const ModelSlot& slot);

}  // namespace vandrel
