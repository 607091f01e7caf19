#pragma once
// Saving a model slot back into its file, followed by its side file.
#include <cstdint>
#include <optional>
#include <string>

#include "model/ModelSlot.h"
#include "output/DateStamp.h"

namespace vandrel {

enum class SaveResult { Saved, ModelNotWritten, SidecarNotWritten };

// What a save keeps of the file as it was last opened or saved: its largest
// keyframe (FrameCount then) and the frames it played after that keyframe (its
// "Frames:" value minus that keyframe, when positive; 0 when the file had no
// key above frame 0).
struct FramesBaseline {
    int32_t LargestKeyframe = 0;
    int64_t FramesAfterLastKey = 0;
    bool operator==(const FramesBaseline&) const = default;
};

// The baseline of the slot's lines and rows as they stand.
FramesBaseline FramesBaselineOf(const ModelSlot& slot);

// The largest keyframe number among the rows and the key lines of the bones
// section. 0 or less leaves "Frames:" alone.
int32_t FrameCount(const ModelSlot& slot);

// Sets the file's "Frames:" line (the first above the bones) and its "Frame:"
// line to 1 in memory, then writes the model and its side file. "Frames:" stays
// as it is while the largest keyframe is the baseline's (a plain save keeps the
// loop the engines play), and without a baseline; otherwise it becomes the
// largest keyframe plus the baseline's frames after the last key. Key times are
// written as held, a key time without a point gets ".000000", and the rest lines
// go out as loaded. Nothing is written after a failure.
SaveResult SaveModel(ModelSlot& slot, const std::optional<FramesBaseline>& baseline, const LocalTime& now,
                     Language uiLanguage);

// The text SaveModel writes for the slot's lines as they stand.
std::string ModelFileText(const ModelSlot& slot);

}  // namespace vandrel
