// The options panel, its replacement list and its presets.
#pragma once

#include "host/globals.h"

struct RunState;

// Shows the modal options panel. 1 after OK (the panel's values are in the
// state), 0 after Cancel or when no panel can be shown.
int runOptionsPanel(RunState &state, GlobalFunc global);
