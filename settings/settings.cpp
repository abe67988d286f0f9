// Placeholder until the settings file is built: defaults only.
#include "settings/settings.h"

#include "module/run_state.h"

void loadSettings(RunState &state) {
    state.sourceToken = kDefaultSourceToken;
    state.targetToken = kDefaultTargetToken;
    state.direction = kDefaultDirection;
    state.tokenPosition = kDefaultTokenPosition;
}

void saveSettings(RunState &) {}
