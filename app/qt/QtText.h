#pragma once
// Turning the program's 8-bit texts into what Qt shows, and typed text back.
#include <QString>
#include <string>
#include <string_view>

namespace vandrel {

// Well-formed UTF-8 sequences (paths and typed comments) are shown as UTF-8,
// every other byte (the program's own Latin-1 texts among them) as Latin-1, so a
// text that joins both shows both right.
QString ToQString(std::string_view bytes);

// What the user typed, as the bytes the program keeps (UTF-8).
std::string FromQString(const QString& text);

}  // namespace vandrel
