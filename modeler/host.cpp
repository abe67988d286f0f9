#include "modeler/host.h"

#include <cstdio>
#include <cstring>

#include "modeler/cp932.h"

static Host *activeHost = nullptr;

ActiveHost::ActiveHost(Host &host) : previous(activeHost) {
    activeHost = &host;
}

ActiveHost::~ActiveHost() {
    activeHost = previous;
}

Host *currentHost() {
    return activeHost;
}

Layer *primaryLayer(Host &host) {
    if (!host.object || host.primaryLayer >= host.object->layers.size()) return nullptr;
    return &host.object->layers[host.primaryLayer];
}

static void showError(const char *line1, const char *line2) {
    if (!activeHost) return;
    HostMessage message;
    message.line1 = line1 ? line1 : "";
    message.hasLine2 = line2 != nullptr;
    if (line2) message.line2 = line2;
    if (activeHost->echoMessages) {
        std::fprintf(stderr, "%s\n", cp932ToDisplay(message.line1).c_str());
        if (line2) std::fprintf(stderr, "%s\n", cp932ToDisplay(message.line2).c_str());
    }
    activeHost->messages.push_back(std::move(message));
}

static const char *directoryOf(const char *kind) {
    if (!activeHost || !kind || std::strcmp(kind, "Settings") != 0) return nullptr;
    return activeHost->settingsDirectory.c_str();
}

static int numVMaps(LWID type) {
    Layer *layer = activeHost ? primaryLayer(*activeHost) : nullptr;
    if (!layer) return 0;
    int count = 0;
    for (const VertexMap &map : layer->maps)
        count += map.type == type;
    return count;
}

static const char *vmapName(LWID type, int index) {
    Layer *layer = activeHost ? primaryLayer(*activeHost) : nullptr;
    if (!layer || index < 0) return nullptr;
    for (const VertexMap &map : layer->maps) {
        if (map.type != type) continue;
        if (index-- == 0) return map.name.c_str();
    }
    return nullptr;
}

static LWMessageFuncs messageFuncs = {showError};
static LWObjectFuncs objectFuncs = {numVMaps, vmapName};

void *hostGlobal(const char *serviceName, int) {
    if (!activeHost || !serviceName || activeHost->withheld.count(serviceName)) return nullptr;
    std::string_view name = serviceName;
    if (name == LWMESSAGEFUNCS_GLOBAL) return &messageFuncs;
    if (name == LWDIRINFOFUNC_GLOBAL) return reinterpret_cast<void *>(&directoryOf);
    if (name == LWOBJECTFUNCS_GLOBAL) return &objectFuncs;
    if (name == LWPANELFUNCS_GLOBAL) return activeHost->panels;
    return nullptr;
}
