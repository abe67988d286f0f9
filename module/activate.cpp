#include "module/activate.h"

#include "module/run_state.h"
#include "pairing/pairing.h"
#include "panel/panel.h"
#include "settings/settings.h"
#include "transfer/transfer.h"

static const int kSupportedVersion = 3;
static const EDError kEditAbandoned = 1;

// "ウェイトマップがありません。" (there are no weight maps)
static const char kNoWeightMaps[] = "\x83\x45\x83\x46\x83\x43\x83\x67\x83\x7D\x83\x62\x83\x76\x82\xAA\x82\xA0"
                                    "\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81\x42";

static void transferSides(RunState &state, LWModCommand &local) {
    state.edit = local.editBegin(0, 0, 0);
    if (!state.edit) return;
    state.edit->pointScan(state.edit->state, transferPoint, &state, EDLAYER_PRIMARY);
    MeshEditOp *edit = state.edit;
    state.edit = nullptr;
    edit->done(edit->state, EDERR_NONE, 0);
}

static int runCommand(RunState &state, LWMessageFuncs &messages, LWModCommand &local) {
    loadSettings(state);
    state.mapKind = kWeightMaps;
    collectMapNames(state);
    if (state.mapNames.empty()) {
        messages.error(kNoWeightMaps, nullptr);
        return 0;
    }
    buildPairs(state);
    if (!runOptionsPanel(state, state.global)) return 0;
    saveSettings(state);
    transferSides(state, local);
    return 0;
}

int activate(int version, GlobalFunc global, void *local, void *) {
    auto *messages = static_cast<LWMessageFuncs *>(global(LWMESSAGEFUNCS_GLOBAL, 0));
    RunState state;
    if (version != kSupportedVersion) return 1;
    if (!messages) return 2;
    state.global = global;
    // Nothing may unwind into the host: a failure (out of memory, say) ends
    // the command, and an open edit is closed with an error so the host
    // discards it.
    try {
        return runCommand(state, *messages, *static_cast<LWModCommand *>(local));
    } catch (...) {
        if (state.edit) state.edit->done(state.edit->state, kEditAbandoned, 0);
        return 0;
    }
}
