#pragma once
#include <string_view>

namespace vandrel {
inline constexpr std::string_view kVersionLine = "vandrel-cli 1.02";
}
