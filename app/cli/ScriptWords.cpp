#include "app/cli/ScriptWords.h"

namespace vandrel {

std::optional<std::vector<std::string>> SplitScriptWords(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, inQuotes = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (inQuotes) {
            if (c == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
                word += line[++i];
            } else if (c == '"') {
                inQuotes = false;
            } else {
                word += c;
            }
        } else if (c == ' ') {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else if (c == '"') {
            inQuotes = inWord = true;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inQuotes) return std::nullopt;
    if (inWord) words.push_back(std::move(word));
    return words;
}

}  // namespace vandrel
