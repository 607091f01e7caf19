#pragma once
// Splitting a script line of vandrel-cli into words.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vandrel {

// Words are separated by blanks (spaces only). Double quotes group blanks into a
// word; inside them \" is a quote and \\ a backslash; "" is an empty word; a
// quoted part joins the characters beside it. Bytes are kept as they stand.
// No value for an unterminated quote.
std::optional<std::vector<std::string>> SplitScriptWords(std::string_view line);

}  // namespace vandrel
