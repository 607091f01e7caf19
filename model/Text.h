#pragma once
// Text conventions shared by every part of the program. A blank is the space
// character only; stripping removes blanks (never tabs) at both ends.
#include <cstdint>
#include <cstring>
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

// A path without its last four characters (a model's ".txt"); empty when shorter.
std::string_view WithoutExtension(std::string_view path);

// The file name without folders and without its last four characters.
inline std::string_view FileStemOf(std::string_view path) { return WithoutExtension(FileNameOf(path)); }

// The side file of a model: its path with the last four characters replaced by ".csv".
inline std::string SidecarPathFor(std::string_view modelPath) {
    return std::string(WithoutExtension(modelPath)) + ".csv";
}

// The lower-cased text after the last "." of the file name; empty without one.
std::string LowerExtensionOf(std::string_view path);

// The first LF, CR or NUL at or after `from`, or the size. Eight bytes at a
// time: a byte of x is zero exactly where (x - 0x01..) & ~x has its high bit.
inline size_t FindLineEnd(std::string_view text, size_t from) {
    constexpr uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
    auto anyZero = [](uint64_t x) { return (x - ones) & ~x & highs; };
    const size_t n = text.size();
    size_t i = from;
    for (; i + 8 <= n; i += 8) {
        uint64_t x;
        std::memcpy(&x, text.data() + i, 8);
        if (anyZero(x) | anyZero(x ^ (ones * '\n')) | anyZero(x ^ (ones * '\r'))) break;
    }
    while (i < n && text[i] != '\n' && text[i] != '\r' && text[i] != '\0') ++i;
    return i;
}

// Calls visit(line) for each line of the text, a view into it, as long as it
// returns true: lines end at LF, CR, CR LF or NUL; a terminator at the very end
// gives no extra empty line.
template <class Visit>
void ForEachLineWhile(std::string_view text, Visit&& visit) {
    const size_t n = text.size();
    for (size_t start = 0; start < n;) {
        size_t end = FindLineEnd(text, start);
        if (!visit(text.substr(start, end - start))) return;
        if (end < n && text[end] == '\r' && end + 1 < n && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
}

// Calls visit(line) for every line of the text.
template <class Visit>
void ForEachLine(std::string_view text, Visit&& visit) {
    ForEachLineWhile(text, [&](std::string_view line) {
        visit(line);
        return true;
    });
}

// The lines of the text as views into it, with the empty element 0 in front
// that 1-based line arrays keep.
std::vector<std::string_view> SplitLines(std::string_view text);

// The same, appended to `lines` (which the caller may have made room in). With
// `capitals`, the positions in `lines` of the lines that begin with a capital
// letter (A to Z) go there too: where a reader finds its section headers
// without reading every line again.
void SplitLines(std::string_view text, std::vector<std::string_view>& lines,
                std::vector<size_t>* capitals = nullptr);

// Room enough for the lines of a model of `bytes` bytes, most of the time.
inline size_t LinesRoomFor(size_t bytes) { return bytes / 24 + 16; }

}  // namespace vandrel
