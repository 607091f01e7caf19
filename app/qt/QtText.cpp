#include "app/qt/QtText.h"

namespace vandrel {

namespace {

// The length of a well-formed UTF-8 sequence of two to four bytes at `at`, or 0.
size_t Utf8SequenceAt(std::string_view bytes, size_t at) {
    const unsigned char lead = static_cast<unsigned char>(bytes[at]);
    size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                  : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (length == 0 || at + length > bytes.size()) return 0;
    for (size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(bytes[at + i]) & 0xC0) != 0x80) return 0;
    const unsigned char second = static_cast<unsigned char>(bytes[at + 1]);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90) ||
        (lead == 0xF4 && second > 0x8F))
        return 0;
    return length;
}

}  // namespace

// A message can join a program text (Latin-1) and a path typed on this system
// (UTF-8): each well-formed UTF-8 sequence is read as UTF-8, every other byte as
// the Latin-1 character of the same value.
QString ToQString(std::string_view bytes) {
    QString text;
    text.reserve(qsizetype(bytes.size()));
    size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            text += QChar(c);
            ++i;
        } else if (size_t length = Utf8SequenceAt(bytes, i)) {
            text += QString::fromUtf8(bytes.data() + i, qsizetype(length));
            i += length;
        } else {
            text += QChar(c);
            ++i;
        }
    }
    return text;
}

std::string FromQString(const QString& text) { return text.toStdString(); }

}  // namespace vandrel
