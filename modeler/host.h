// The modeler as a host: the services a command looks up, over one object.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "host/globals.h"
#include "host/meshedit.h"
#include "host/panel.h"
#include "modeler/object.h"

// An error box the command showed.
struct HostMessage {
    std::string line1;
    bool hasLine2 = false;
    std::string line2;
};

// What the mesh edits of one host did, for reports and tests.
struct EditStats {
    int editsOpened = 0;
    int editsKept = 0;
    int editsDiscarded = 0;
    long nameLookups = 0; // map selections by name (not by handle)
};

struct MeshEdit;
struct Toolkit;

struct Host {
    Object *object = nullptr;
    size_t primaryLayer = 0;        // index into object->layers
    std::string settingsDirectory;  // what "Directory Info" answers for "Settings"
    std::set<std::string> withheld; // services the host does not offer
    bool failEditBegin = false;
    // When positive, the value write of that number (from 1) in an edit
    // throws std::bad_alloc, as an allocation that fails mid-scan would.
    long throwOnWrite = 0;
    LWPanelFuncs *panels = nullptr; // "LWPanelServices"; null when there is no toolkit
    Toolkit *toolkit = nullptr;     // the toolkit behind panels, which creates its panels
    bool echoMessages = false;      // also print error boxes on stderr, in UTF-8
    std::vector<HostMessage> messages;
    EditStats stats;
    // Called now and then during a point scan with the points done and the total.
    std::function<void(size_t done, size_t total)> scanProgress;
    MeshEdit *edit = nullptr; // the open edit, if any
};

// Makes host the one the services answer for while it lives. Hosts do not
// nest: the command's services have no context argument.
class ActiveHost {
  public:
    explicit ActiveHost(Host &host);
    ~ActiveHost();
    ActiveHost(const ActiveHost &) = delete;
    ActiveHost &operator=(const ActiveHost &) = delete;

  private:
    Host *previous;
};

// The host the services answer for now, or null.
Host *currentHost();

// The global-service lookup handed to activate.
void *hostGlobal(const char *serviceName, int useFlags);

// The local record handed to a CommandSequence server.
LWModCommand *hostModCommand();

// The primary layer of the active host, or null.
Layer *primaryLayer(Host &host);
