// The mesh edit the host hands a modeler command.
#pragma once

#include "host/globals.h"

typedef struct st_EDState *EDStateRef;
typedef struct st_LWPnt *LWPntID;
typedef int EDError;

constexpr EDError EDERR_NONE = 0;

// What the point scan reports for one point.
struct EDPointInfo {
    LWPntID pnt;
    double position[3];
};

typedef EDError (*EDPointScanFunc)(void *userData, const EDPointInfo *point);

struct MeshEditOp {
    EDStateRef state;
    void (*done)(EDStateRef state, EDError error, int selm);
    EDError (*pointScan)(EDStateRef state, EDPointScanFunc callback, void *userData, int layer);
    // Selects a map for pointVGet, by its handle when given, else by type and
    // name; answers the handle, or null when there is no such map.
    void *(*pointVSet)(EDStateRef state, void *vmap, LWID type, const char *name);
    int (*pointVGet)(EDStateRef state, LWPntID point, float *value);
    // Sets the point's value in the named map (creating the map), or clears it
    // when value is null.
    EDError (*pntVMap)(EDStateRef state, LWPntID point, LWID type, const char *name, int dimension,
                       const float *value);
};

struct LWModCommand {
    // (point buffer, polygon buffer, operation mode) -> an open edit, or null.
    MeshEditOp *(*editBegin)(int pointBuffer, int polygonBuffer, int mode);
};

constexpr int EDLAYER_PRIMARY = 0;
