// Options > Change Order: asks for a vocabulary file, reorders it and says how that went.
#pragma once

#include "Window.h"

// Runs the whole command. `ownerless` shows the file dialog and message boxes with no owner
// window. Every outcome, failures included, ends in a message box; nothing is thrown.
void ChangeOrder(IDialogWindow& ownerless);
