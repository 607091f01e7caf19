#pragma once
// Saving a model slot back into its file, followed by its side file.
#include <string>

#include "model/ModelSlot.h"
#include "output/DateStamp.h"

namespace vandrel {

enum class SaveResult { Saved, ModelNotWritten, SidecarNotWritten };

// Sets the file's "Frames:" line (the first above the bones) to the frame count
// and its "Frame:" line to 1 in memory, writes the model with whole-frame key
// times and the rest lines as loaded, then the side file. Nothing is written
// after a failure.
SaveResult SaveModel(ModelSlot& slot, const LocalTime& now, int uiLanguage);

// The largest keyframe number among the rows and the key lines of the bones
// section: the frames an engine must play. 0 or less leaves "Frames:" alone.
int32_t FrameCount(const ModelSlot& slot);

// The text SaveModel writes for the slot's lines as they stand.
std::string ModelFileText(const ModelSlot& slot);

}  // namespace vandrel
