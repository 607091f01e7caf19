#pragma once
// Decoding the About picture with the IJG JPEG library, from bytes in memory.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vandrel {

// A decoded picture: `Height` rows of `Width` pixels, three bytes (red, green,
// blue) per pixel, rows top to bottom without padding.
struct RgbPicture {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Rgb;
};

// Decodes a JPEG file held in `bytes`. Nothing when the bytes are no JPEG the
// library can read, or when the data is damaged or cut short: the library's
// errors and warnings come back here instead of ending the program.
std::optional<RgbPicture> DecodeJpeg(std::string_view bytes);

}  // namespace vandrel
