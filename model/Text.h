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

// The lower-cased text after the last "." of the file name; empty without one.
std::string LowerExtensionOf(std::string_view path);

// Splits file bytes into lines at LF, CR, CR LF or NUL. A terminator at the very
// end gives no extra empty line. Element 0 of the result is the empty element that
// 1-based line arrays keep in front.
std::vector<std::string> SplitLines(std::string_view bytes);

// The number of lines SplitLines would give, without building them.
size_t CountLines(std::string_view bytes);

// The line splitting of SplitLines over bytes that arrive in pieces: Feed each
// piece in order, then Finish. A line that spans pieces is put together; a CR at
// the end of one piece and an LF at the start of the next are one terminator.
// A line handed to visit is valid only during the call.
class LineSplitter {
public:
    template <class Visit>
    void Feed(std::string_view piece, Visit&& visit) {
        size_t start = 0;
        const size_t n = piece.size();
        if (afterCR_ && n > 0) {
            afterCR_ = false;
            if (piece[0] == '\n') start = 1;
        }
        while (start < n) {
            size_t end = FindTerminator(piece, start);
            if (end == n) {
                partial_.append(piece.substr(start));
                return;
            }
            if (partial_.empty()) {
                visit(piece.substr(start, end - start));
            } else {
                partial_.append(piece.substr(start, end - start));
                visit(std::string_view(partial_));
                partial_.clear();
            }
            if (piece[end] == '\r') {
                if (end + 1 == n) afterCR_ = true;
                else if (piece[end + 1] == '\n') ++end;
            }
            start = end + 1;
        }
    }

    // The end of the bytes ends the last line, if any bytes of it are left.
    template <class Visit>
    void Finish(Visit&& visit) {
        if (!partial_.empty()) visit(std::string_view(partial_));
        partial_.clear();
        afterCR_ = false;
    }

private:
    static bool IsTerminator(char c) { return c == '\n' || c == '\r' || c == '\0'; }

    // The first LF, CR or NUL at or after `from`, or the size. Eight bytes at a
    // time: a byte of x is zero exactly where (x - 0x01..) & ~x has its high bit.
    static size_t FindTerminator(std::string_view piece, size_t from) {
        constexpr uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
        auto anyZero = [](uint64_t x) { return (x - ones) & ~x & highs; };
        const size_t n = piece.size();
        size_t i = from;
        for (; i + 8 <= n; i += 8) {
            uint64_t x;
            std::memcpy(&x, piece.data() + i, 8);
            if (anyZero(x) | anyZero(x ^ (ones * '\n')) | anyZero(x ^ (ones * '\r'))) break;
        }
        while (i < n && !IsTerminator(piece[i])) ++i;
        return i;
    }

    std::string partial_;
    bool afterCR_ = false;
};

// Calls visit(line) for each line; a line is valid only during its call.
template <class Visit>
void ForEachLine(std::string_view bytes, Visit&& visit) {
    LineSplitter splitter;
    splitter.Feed(bytes, visit);
    splitter.Finish(visit);
}

}  // namespace vandrel
