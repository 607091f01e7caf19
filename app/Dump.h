#pragma once
// The whole program state as one line of JSON, for vandrel-cli and tests.
#include <string>

#include "app/Program.h"

namespace vandrel {

// Byte strings are written with each byte as the character of the same value.
// `messages` are the message boxes shown since the previous dump.
std::string DumpState(const Program& p, const std::vector<Message>& messages);

}  // namespace vandrel
