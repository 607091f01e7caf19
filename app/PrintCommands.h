#pragma once
// The four Print commands: the print dialog, then the printout of a file's
// keyframe table or statistics.
#include "app/Program.h"

namespace vandrel {

void PrintKeyframes(Program& p, Shell& shell, int n);
void PrintStatistics(Program& p, Shell& shell, int n);

}  // namespace vandrel
