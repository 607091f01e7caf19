#pragma once
// Decoding the About picture with the IJG JPEG library, from bytes in memory.
#include <QImage>
#include <string_view>

namespace vandrel {

// Decodes a JPEG file held in `bytes` into an RGB picture. A null picture when
// the bytes are no JPEG the library can read, or when the data is damaged or
// cut short: the library's errors and warnings come back here instead of
// ending the program.
QImage DecodeJpeg(std::string_view bytes);

}  // namespace vandrel
