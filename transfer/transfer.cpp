#include "transfer/transfer.h"

#include "module/run_state.h"

EDError transferPoint(void *userData, const EDPointInfo *point) {
    auto &state = *static_cast<RunState *>(userData);
    MeshEditOp &edit = *state.edit;
    int kind = checkedMapKind(state.mapKind);
    LWID type = mapTypeCodes[kind];
    int dimension = mapDimensions[kind];
    double x = point->position[0];
    double side = double(state.direction) * x;

    for (MapPair &pair : state.pairs) {
        float value[3] = {0, 0, 0};
        // Selected for every pair, switched on or not: the handle is kept so
        // the map is found by name once per scan.
        pair.sourceHandle = edit.pointVSet(edit.state, pair.sourceHandle, type, pair.sourceName.c_str());
        int has = edit.pointVGet(edit.state, point->pnt, value);
        if (!has || !pair.active) continue;
        if (side > 0) {
            edit.pntVMap(edit.state, point->pnt, type, pair.sourceName.c_str(), dimension, nullptr);
            edit.pntVMap(edit.state, point->pnt, type, pair.targetName.c_str(), dimension, nullptr);
            edit.pntVMap(edit.state, point->pnt, type, pair.targetName.c_str(), dimension, value);
        } else if (x == 0.0) {
            edit.pntVMap(edit.state, point->pnt, type, pair.targetName.c_str(), dimension, value);
        }
    }
    return EDERR_NONE;
}
