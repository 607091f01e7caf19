#include "app/qt/JpegPicture.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace vandrel {

namespace {

// Pictures beyond this many pixels are refused before any memory is taken for
// them: a damaged header must not ask for gigabytes.
constexpr uint64_t kMaxPixels = uint64_t(1) << 26;

struct ErrorManager {
    jpeg_error_mgr base;  // first, so the library's pointer is ours
    std::jmp_buf back;
    int warnings = 0;
};

[[noreturn]] void ErrorExit(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->back, 1);
}

// Level -1 is a warning about damaged data (the library carries on with made-up
// pixels); higher levels are trace messages. Nothing is printed.
void EmitMessage(j_common_ptr info, int level) {
    if (level < 0) ++reinterpret_cast<ErrorManager*>(info->err)->warnings;
}

void OutputMessage(j_common_ptr) {}

// The part between setjmp and the jump back holds no objects with destructors:
// the pixels live in the caller's picture.
bool Decode(jpeg_decompress_struct& info, ErrorManager& errors, std::string_view bytes, QImage& picture) {
    if (setjmp(errors.back)) return false;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) return false;
    info.out_color_space = JCS_RGB;
    if (uint64_t(info.image_width) * info.image_height > kMaxPixels) return false;
    jpeg_start_decompress(&info);
    if (info.output_components != 3) return false;
    picture = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
    if (picture.isNull()) return false;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = picture.scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return errors.warnings == 0;
}

}  // namespace

QImage DecodeJpeg(std::string_view bytes) {
    if (bytes.empty()) return {};
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = ErrorExit;
    errors.base.emit_message = EmitMessage;
    errors.base.output_message = OutputMessage;
    QImage picture;
    const bool ok = Decode(info, errors, bytes, picture);
    jpeg_destroy_decompress(&info);
    return ok ? picture : QImage();
}

}  // namespace vandrel
