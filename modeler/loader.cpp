#include "modeler/loader.h"

#include <cstdio>
#include <dlfcn.h>
#include <sys/stat.h>

#include "modeler/host.h"

static std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

static bool fail(const LoadedModule &module, const std::string &cause, std::string &error) {
    error = module.path + ": " + cause;
    return false;
}

static bool checkDescriptor(const LoadedModule &module, std::string &error) {
    const ModuleDescriptor &descriptor = *module.descriptor;
    if (descriptor.synchronisation != MOD_SYNC)
        return fail(module, "wrong synchronisation code " + hex(descriptor.synchronisation), error);
    if (descriptor.systemVersion != MOD_SYSVER)
        return fail(module, "unsupported system version " + std::to_string(descriptor.systemVersion), error);
    if (!descriptor.startup || !descriptor.shutdown || !descriptor.servers)
        return fail(module, "incomplete module descriptor", error);
    return true;
}

bool loadModule(const std::string &path, LoadedModule &module, std::string &error) {
    module = LoadedModule{};
    module.path = path;
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return fail(module, "no such file", error);
    module.library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module.library) {
        const char *cause = dlerror();
        return fail(module, std::string("not a loadable library (") + (cause ? cause : "unknown") + ")",
                    error);
    }
    module.descriptor = static_cast<ModuleDescriptor *>(dlsym(module.library, "_mod_descrip"));
    bool ok = module.descriptor ? checkDescriptor(module, error)
                                : fail(module, "no module descriptor _mod_descrip", error);
    if (!ok) {
        dlclose(module.library);
        module.library = nullptr;
        return false;
    }
    module.serverData = module.descriptor->startup();
    return true;
}

void unloadModule(LoadedModule &module) {
    if (!module.library) return;
    module.descriptor->shutdown(module.serverData);
    dlclose(module.library);
    module.library = nullptr;
    module.descriptor = nullptr;
}

const ServerRecord *findServer(const LoadedModule &module, const char *className, const char *name) {
    for (const ServerRecord *server = module.descriptor->servers; server->className; ++server) {
        if (std::string(server->className) == className && server->name && std::string(server->name) == name)
            return server;
    }
    return nullptr;
}

bool runSorvex(const std::string &path, Host &host, int version, int &result, std::string &error) {
    LoadedModule module;
    if (!loadModule(path, module, error)) return false;
    const ServerRecord *server = findServer(module, "CommandSequence", "Sorvex");
    if (!server || !server->activate) {
        unloadModule(module);
        return fail(module, "no CommandSequence server named Sorvex", error);
    }
    {
        ActiveHost active(host);
        result = server->activate(version, hostGlobal, hostModCommand(), module.serverData);
    }
    unloadModule(module);
    return true;
}
