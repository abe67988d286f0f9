// The host's entry points and global services, as the module uses them.
// Written from what the command calls; nothing here is needed by the host
// beyond these shapes.
#pragma once

#include <cstdint>

typedef uint32_t LWID;

constexpr LWID makeLWID(char a, char b, char c, char d) {
    return (LWID(uint8_t(a)) << 24) | (LWID(uint8_t(b)) << 16) | (LWID(uint8_t(c)) << 8) | LWID(uint8_t(d));
}

constexpr LWID LWVMAP_WGHT = makeLWID('W', 'G', 'H', 'T');
constexpr LWID LWVMAP_MORF = makeLWID('M', 'O', 'R', 'F');
constexpr LWID LWVMAP_SPOT = makeLWID('S', 'P', 'O', 'T');

// Looks a service up by name; null when the host does not offer it.
typedef void *(*GlobalFunc)(const char *serviceName, int useFlags);

// Activation of a server: (interface version, global lookup, class-specific
// local record, server data) -> result code.
typedef int (*ActivateFunc)(int version, GlobalFunc global, void *local, void *serverData);

struct ServerRecord {
    const char *className;
    const char *name;
    ActivateFunc activate;
    void *tagInfo;
};

// The module descriptor exported as `_mod_descrip`.
struct ModuleDescriptor {
    uint32_t synchronisation;
    uint32_t systemVersion;
    uint32_t machine;
    void *(*startup)(void);
    void (*shutdown)(void *serverData);
    ServerRecord *servers;
};

constexpr uint32_t MOD_SYNC = 0x04121994;
constexpr uint32_t MOD_SYSVER = 3;
constexpr uint32_t MOD_MACHINE = 0x300;

#define LWMESSAGEFUNCS_GLOBAL "Info Messages 2"
#define LWDIRINFOFUNC_GLOBAL "Directory Info"
#define LWOBJECTFUNCS_GLOBAL "Scene Objects 5"
#define LWPANELFUNCS_GLOBAL "LWPanelServices"

struct LWMessageFuncs {
    // Modal error box; the second line may be null.
    void (*error)(const char *line1, const char *line2);
};

// "Directory Info" answers this function itself: path of a directory kind.
typedef const char *(*LWDirInfoFunc)(const char *kind);

struct LWObjectFuncs {
    int (*numVMaps)(LWID type);
    const char *(*vmapName)(LWID type, int index);
};
