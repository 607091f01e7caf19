#pragma once
// What must hold of the program's line sets after any input and any command.
// The fuzz targets check these after every step and trap on the first failure,
// so that libFuzzer keeps the input that broke them.
#include <cstdint>
#include <string>
#include <vector>

#include "clipboard/Workspace.h"
#include "model/ModelSlot.h"

namespace vandrel::fuzz {

// Prints what failed and where, then traps.
[[noreturn]] void Violated(const char* what, const char* file, int line);

#define FUZZ_CHECK(condition)                                                   \
    do {                                                                        \
        if (!(condition)) ::vandrel::fuzz::Violated(#condition, __FILE__, __LINE__); \
    } while (0)

// Trap on the first rule of LineSetFault or ClipboardFault that is broken.
void CheckLineSet(const LineSet& set);
void CheckClipboard(const Clipboard& clip);

// A bones section as MilkShape 3D writes it, strictly: the "Bones:" line (not four
// fields) after the four header lines, then bone after bone (quoted name, quoted parent, a rest line
// that begins "0 ", is not four fields like a key line and is long enough that its
// last six characters never touch the flags field, a position count that is not
// four fields either, exactly that many key lines, a rotation count of the same
// kind, exactly that many key lines), then only unquoted lines with frame number 0
// that are no key lines, blanks stripped or not (a recount would count them, and
// every key line is a row) to the end of the section. No line of the section after "Bones:" is a
// count mark, and no line below it is, stripped, another "Bones:" line (a save
// would make it the header). Every count line of such a model equals the keys
// that follow it, and every index of its bone records lies inside the valid lines.
bool WellFormedBones(const LineSet& set);

// The keyframe numbers a fresh open would list for these lines, in order.
std::vector<int32_t> KeyframeNumbersOfLines(const LineSet& set);

// The keyframe numbers of a table, in order.
std::vector<int32_t> KeyframeNumbersOfRows(const KeyframeTable& rows);

// Whether every bone's rest line is inside the valid lines and no two are equal.
bool RestLinesDistinct(const LineSet& set);

// The keyframe numbers of a model file's bytes, opened as the program opens it.
std::vector<int32_t> KeyframeNumbersOfFile(const std::string& bytes);

}  // namespace vandrel::fuzz
