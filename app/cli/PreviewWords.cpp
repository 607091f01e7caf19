#include "app/cli/PreviewWords.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

#include "app/Texts.h"
#include "model/IntegerValue.h"

namespace vandrel {

namespace {

// The largest picture side: a picture of that square still fits in memory twice.
constexpr int kLargestSide = 8192;

// A run of decimal digits no longer than `most` digits, as a number.
std::optional<int64_t> Digits(std::string_view word, size_t most) {
    if (word.empty() || word.size() > most) return std::nullopt;
    int64_t value = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// "640x480": both sides from 1 to kLargestSide.
bool ReadSize(const std::string& word, int& width, int& height) {
    const size_t x = word.find('x');
    if (x == std::string::npos) return false;
    const auto w = Digits(std::string_view(word).substr(0, x), 5);
    const auto h = Digits(std::string_view(word).substr(x + 1), 5);
    if (!w || !h || *w < 1 || *h < 1 || *w > kLargestSide || *h > kLargestSide) return false;
    width = int(*w);
    height = int(*h);
    return true;
}

// "YAW,PITCH": two decimal numbers of degrees, as radians.
std::optional<glm::dvec2> Angles(const std::string& word) {
    const size_t comma = word.find(',');
    if (comma == std::string::npos) return std::nullopt;
    double degrees[2];
    const std::string parts[2] = {word.substr(0, comma), word.substr(comma + 1)};
    for (int k = 0; k < 2; ++k) {
        const char* first = parts[k].data();
        const char* last = first + parts[k].size();
        const auto [end, error] = std::from_chars(first, last, degrees[k]);
        if (parts[k].empty() || error != std::errc() || end != last || !std::isfinite(degrees[k])) return std::nullopt;
    }
    return glm::dvec2(glm::radians(degrees[0]), glm::radians(degrees[1]));
}

std::string Fixed6(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", value);
    // A coordinate that rounds to zero is zero, whichever side it came from.
    return std::string(text) == "-0.000000" ? "0.000000" : text;
}

}  // namespace

std::optional<std::string> ReadPreviewRequest(const std::vector<std::string>& w, PreviewRequest& request) {
    if (w[1] == "1") request.Source = PreviewSource::File1;
    else if (w[1] == "2") request.Source = PreviewSource::File2;
    else if (w[1] == "clipboard") request.Source = PreviewSource::Clipboard;
    else return "the model must be 1, 2 or clipboard: " + w[1];

    const bool negative = !w[2].empty() && w[2][0] == '-';
    const auto frame = Digits(std::string_view(w[2]).substr(negative ? 1 : 0), 9);
    if (!frame) return "the frame must be a whole number of at most nine digits: " + w[2];
    request.Frame = negative ? -*frame : *frame;

    if (w[0] != "render") return std::nullopt;
    request.Png = w[3];
    // The words that follow, each optional, in this order.
    size_t i = 4;
    auto next = [&] { return i < w.size() ? w[i] : std::string(); };
    if (next() == "front" || next() == "side" || next() == "top") {
        request.Camera.View = next() == "front" ? PreviewView::Front : next() == "side" ? PreviewView::Side : PreviewView::Top;
        ++i;
    } else if (std::optional<glm::dvec2> angles = Angles(next())) {
        request.Camera.View = PreviewView::Free;
        request.Camera.Yaw = angles->x;
        request.Camera.Pitch = angles->y;
        ++i;
    }
    if (ReadSize(next(), request.Width, request.Height)) ++i;
    if (next() == "solid" || next() == "wire" || next() == "textured") {
        request.Look.Solid = next() != "wire";
        request.Look.Wire = next() == "wire";
        request.Look.Textured = next() == "textured";
        ++i;
    }
    if (next() == "grid") request.Look.Grid = true, ++i;
    if (next() == "skeleton") request.Look.Skeleton = true, ++i;
    if (i < w.size())
        return "expected front, side, top or YAW,PITCH, a size such as 640x480, solid, wire or textured, grid, "
               "skeleton, in this order: " + w[i];
    return std::nullopt;
}

std::string PoseLines(const Workspace& ws, const PreviewRequest& request) {
    const PreviewModel model = ReadPreviewModel(ws, request.Source);
    const PreviewPose pose = PoseModel(model, double(request.Frame));
    std::string out;
    for (size_t b = 0; b < model.Bones.size(); ++b) {
        const glm::dvec3& j = pose.Joints[b];
        out += Utf8FromBytes(model.Bones[b].Name) + " " + Fixed6(j.x) + " " + Fixed6(j.y) + " " + Fixed6(j.z) + "\n";
    }
    return out;
}

PreviewModel RenderModel(const Workspace& ws, const PreviewRequest& request) {
    return ReadPreviewModel(ws, request.Source);
}

PreviewShot RenderShot(const PreviewModel& model, const PreviewRequest& request) {
    return ShotOf(model, double(request.Frame), request.Camera, request.Look, request.Width, request.Height,
                  DecimalText(request.Frame));
}

}  // namespace vandrel
