#pragma once
// The settings file Vandrel.ini in the working directory: the two remembered
// paths and the interface language.
#include <string>

#include "app/Program.h"

namespace vandrel {

// Start-up: reads only the language. False when the file cannot be opened (first start).
bool ReadInitialLanguage(Program& p);

// Reads both remembered paths and the language, then drops paths that are not
// readable .txt files.
void ReadSettings(Program& p);

// Validates both paths and writes the three lines; failures stay silent.
void WriteSettings(Program& p);

// The path unchanged when it names a readable file with the extension txt, else "".
std::string ValidateDialogDefault(const std::string& path);

// Sets the language and the help file name that goes with it (only 1 is German).
void SetUiLanguage(Program& p, int64_t value);

}  // namespace vandrel
