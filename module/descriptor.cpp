// The module's one export: the descriptor through which the host finds the
// "Sorvex" command.
#include "module/activate.h"

static void *startup(void) {
    return reinterpret_cast<void *>(4);
}

static void shutdown(void *) {}

static ServerRecord serverTable[] = {
    {"CommandSequence", "Sorvex", activate, nullptr},
    {nullptr, nullptr, nullptr, nullptr},
};

extern "C" __attribute__((visibility("default"))) ModuleDescriptor _mod_descrip = {
    MOD_SYNC, MOD_SYSVER, MOD_MACHINE, startup, shutdown, serverTable,
};
