#pragma once
// What must hold of every line set after any input and any command, however
// malformed its lines. The fuzz targets check it after every step, and the
// sanitizer build of the tests after every command of the window.
#include <string>

#include "model/ModelSlot.h"

namespace vandrel {

// The first rule the set breaks, empty when it keeps them all: 0 <= BonesLine
// <= LineCount, the array holds every valid line, element 0 and every element
// above LineCount are empty, and the bone list is exactly the bone scan of the
// current lines (name lines quoted, inside the valid lines, ascending, with the
// record's other three indexes where the scan puts them).
std::string LineSetFault(const LineSet& set);

}  // namespace vandrel
