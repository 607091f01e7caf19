#pragma once
// The preview's commands of vandrel-cli: `pose N FRAME` prints the joints of a
// model posed at a frame, `render N FRAME PNG [front|side|top|ANGLE,ANGLE] [WxH]
// [solid|wire|textured] [grid] [skeleton]` draws the preview's picture of it.
// N is 1, 2 or `clipboard`.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/ModelSlot.h"
#include "preview/PreviewView.h"

namespace vandrel {

struct PreviewRequest {
    PreviewSource Source = PreviewSource::File1;
    int64_t Frame = 0;
    std::string Png;  // render only
    PreviewCamera Camera;
    int Width = 640;
    int Height = 480;
    PreviewLook Look;  // solid and textured, without grid and skeleton, unless the words say
};

// Reads the words of either command, the verb first and the word count already
// checked; the reason when a word is malformed.
std::optional<std::string> ReadPreviewRequest(const std::vector<std::string>& words, PreviewRequest& request);

// What `pose` prints: for every bone in file order its name (without quotes,
// each byte as the character of the same value), a blank and the joint's x, y
// and z with six decimals, separated by blanks; one bone per line.
std::string PoseLines(const Workspace& ws, const PreviewRequest& request);

// The model `render` draws, and its picture: posed at the frame, framed like the window.
PreviewModel RenderModel(const Workspace& ws, const PreviewRequest& request);
PreviewShot RenderShot(const PreviewModel& model, const PreviewRequest& request);

}  // namespace vandrel
