// The module's one export: the descriptor through which the host finds the
// "Sorvex" command.
#include "module/activate.h"

#if defined(_WIN32)
#define SORVEX_EXPORT __declspec(dllexport)
#else
#define SORVEX_EXPORT __attribute__((visibility("default")))
#endif

static void *startup(void) {
    return reinterpret_cast<void *>(4);
}

static void shutdown(void *) {}

static ServerRecord serverTable[] = {
    {"CommandSequence", "Sorvex", activate, nullptr},
    {nullptr, nullptr, nullptr, nullptr},
};

extern "C" {
SORVEX_EXPORT ModuleDescriptor _mod_descrip = {
    MOD_SYNC, MOD_SYSVER, MOD_MACHINE, startup, shutdown, serverTable,
};
}
