#include "pairing/pairing.h"

#include "module/run_state.h"

void collectMapNames(RunState &state) {
    auto *objects = static_cast<LWObjectFuncs *>(state.global(LWOBJECTFUNCS_GLOBAL, 0));
    state.mapNames.clear();
    if (!objects) return;
    LWID type = mapTypeCodes[checkedMapKind(state.mapKind)];
    int count = objects->numVMaps(type);
    for (int i = 0; i < count; ++i) {
        const char *name = objects->vmapName(type, i);
        if (name) state.mapNames.emplace_back(name);
    }
}

bool deriveTargetName(const std::string &name, const std::string &sourceToken, const std::string &targetToken,
                      int tokenPosition, std::string &targetName) {
    if (tokenPosition == 0) {
        if (name.compare(0, sourceToken.size(), sourceToken) != 0) return false;
        targetName = targetToken;
        targetName.append(name, sourceToken.size(), std::string::npos);
        return true;
    }
    size_t at = name.find(sourceToken);
    if (at == std::string::npos) return false;
    targetName.assign(name, 0, at);
    targetName += targetToken;
    return true;
}

void buildPairs(RunState &state) {
    state.pairs.clear();
    for (const std::string &name : state.mapNames) {
        MapPair pair;
        if (!deriveTargetName(name, state.sourceToken, state.targetToken, state.tokenPosition,
                              pair.targetName))
            continue;
        pair.sourceName = name;
        state.pairs.push_back(std::move(pair));
    }
}
