#include "model/Text.h"

#include <cstring>

namespace vandrel {

std::string_view StripBlanks(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && text[e - 1] == ' ') --e;
    return text.substr(b, e - b);
}

std::string_view AfterFirstBlank(std::string_view text) {
    size_t blank = text.find(' ');
    return blank == std::string_view::npos ? text : text.substr(blank + 1);
}

std::string_view FileNameOf(std::string_view path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string LowerExtensionOf(std::string_view path) {
    std::string_view name = FileNameOf(path);
    size_t dot = name.rfind('.');
    std::string ext;
    if (dot == std::string_view::npos) return ext;
    for (char c : name.substr(dot + 1)) ext += (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    return ext;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    // One line per 24 bytes is generous for a model; the rest is grown if needed.
    lines.reserve(text.size() / 24 + 16);
    lines.emplace_back();
    ForEachLine(text, [&](std::string_view line) { lines.push_back(line); });
    return lines;
}

}  // namespace vandrel
