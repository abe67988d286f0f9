// Loads a module file the way the host does and runs its command.
#pragma once

#include <string>

#include "host/globals.h"

struct Host;

struct LoadedModule {
    std::string path;
    void *library = nullptr;
    ModuleDescriptor *descriptor = nullptr;
    void *serverData = nullptr; // what startup answered
};

// Opens the file, finds `_mod_descrip`, checks it and calls startup. On
// failure, error names the file and the cause and nothing stays open.
bool loadModule(const std::string &path, LoadedModule &module, std::string &error);

// Calls shutdown and closes the library.
void unloadModule(LoadedModule &module);

// The server of that class and name, or null.
const ServerRecord *findServer(const LoadedModule &module, const char *className, const char *name);

// Loads the module, activates its "CommandSequence" server "Sorvex" with the
// host's services and the given interface version, and unloads it. False
// (with error set) when the module could not be loaded or has no such server;
// otherwise result holds what activate answered.
bool runSorvex(const std::string &path, Host &host, int version, int &result, std::string &error);
