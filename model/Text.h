#pragma once
// Text conventions shared by every part of the program. A blank is the space
// character only; stripping removes blanks (never tabs) at both ends.
#include <string>
#include <string_view>
#include <vector>

namespace vandrel {

std::string_view StripBlanks(std::string_view text);

inline bool BeginsWith(std::string_view line, std::string_view prefix) {
    return line.substr(0, prefix.size()) == prefix;
}

// A quoted line begins with a double quote: names of meshes, materials and bones.
inline bool IsQuotedLine(std::string_view line) { return !line.empty() && line[0] == '"'; }

inline bool ContainsPoint(std::string_view line) { return line.find('.') != std::string_view::npos; }

// The part of a text after its first blank; the whole text when it has none.
std::string_view AfterFirstBlank(std::string_view text);

// The file name without folders: the text after the last slash or backslash.
std::string_view FileNameOf(std::string_view path);

// The lower-cased text after the last "." of the file name; empty without one.
std::string LowerExtensionOf(std::string_view path);

// Splits file bytes into lines at LF, CR, CR LF or NUL. A terminator at the very
// end gives no extra empty line. Element 0 of the result is the empty element that
// 1-based line arrays keep in front.
std::vector<std::string> SplitLines(std::string_view bytes);

// The number of lines SplitLines would give, without building them.
size_t CountLines(std::string_view bytes);

// Calls visit(line) for each line, without copying.
template <class Visit>
void ForEachLine(std::string_view bytes, Visit&& visit) {
    size_t start = 0;
    const size_t n = bytes.size();
    while (start < n) {
        size_t end = start;
        while (end < n) {
            char c = bytes[end];
            if (c == '\n' || c == '\r' || c == '\0') break;
            ++end;
        }
        visit(bytes.substr(start, end - start));
        if (end < n && bytes[end] == '\r' && end + 1 < n && bytes[end + 1] == '\n') ++end;
        start = end + 1;
    }
}

}  // namespace vandrel
