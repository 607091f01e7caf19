#pragma once
// The key transfer of a paste. Clipboard bones are visited from the last to the
// first, and for each the matching bones of the file from the last to the first;
// rotation keys go in before position keys. Each Clipboard key line of a row's
// frame is placed into the bone's key list: it replaces the last key of its
// frame, or is inserted after the last key of a lower frame (before the first
// key when there is none), and each insertion raises the count by one.
#include "clipboard/Workspace.h"

namespace vandrel {

// Works bone by bone, in time linear in the model: each matched bone's two key
// lists are changed on their own and the lines are rebuilt once. Returns false
// (and changes nothing) when a matched bone's key lists are not where its counts
// say, so that changing one list could reach into another bone.
bool SpliceKeysByBone(const Clipboard& clip, ModelSlot& file);

// Places every key line by moving the following lines, exactly as described
// above; for models whose counts do not describe their lines.
void SpliceKeysLineByLine(const Clipboard& clip, ModelSlot& file);

}  // namespace vandrel
