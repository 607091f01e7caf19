#pragma once
// The pictures stored inside the program (resources/about.jpg, resources/vandrel.png).
#include <string_view>

namespace vandrel {

std::string_view AboutPictureJpeg();
std::string_view ProgramIconPng();

}  // namespace vandrel
