#pragma once

#include "host/globals.h"

// Activation of the "CommandSequence" server "Sorvex". Results: 0 done or
// cancelled, 1 interface version not supported, 2 message service missing.
int activate(int version, GlobalFunc global, void *local, void *serverData);
