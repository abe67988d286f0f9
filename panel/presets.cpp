// The preset popup: picking a preset fills the panel's controls, picking
// " ( new ) " asks for a name and appends the current settings.
#include "module/run_state.h"
#include "panel/panel.h"

static const char kNewEntry[] = " ( new ) ";
// "プリセット作成"
static const char kDialogTitle[] = "\x83\x76\x83\x8A\x83\x5A\x83\x62\x83\x67\x8D\xEC\x90\xAC";
// "プリセット名"
static const char kNameLabel[] = "\x83\x76\x83\x8A\x83\x5A\x83\x62\x83\x67\x96\xBC";

int presetCount(void *data) {
    if (!data) return 0;
    return int(static_cast<RunState *>(data)->presets.size()) + 1;
}

const char *presetName(void *data, int index) {
    if (!data || index < 0) return nullptr;
    const RunState &state = *static_cast<RunState *>(data);
    if (size_t(index) < state.presets.size()) return state.presets[size_t(index)].name.c_str();
    return size_t(index) == state.presets.size() ? kNewEntry : nullptr;
}

// Fills the controls from the preset, and the state's direction and
// position as well: setting a choice calls no handler, and the update button
// must derive the pairs with the position the panel shows.
static void applyPreset(RunState &state, const Preset &preset) {
    setControlInt(panelReferences.directionChoice, CTL_VALUE, preset.direction);
    setControlInt(panelReferences.positionChoice, CTL_VALUE, preset.tokenPosition);
    setControlText(panelReferences.sourceEdit, preset.sourceToken);
    setControlText(panelReferences.targetEdit, preset.targetToken);
    state.direction = preset.direction;
    state.tokenPosition = preset.tokenPosition;
}

void onPresetPicked(LWControl *control, void *data) {
    if (!control || !data || !panelReferences.list) return;
    RunState &state = *static_cast<RunState *>(data);
    intptr_t index = controlInt(control, CTL_VALUE);
    if (index == intptr_t(state.presets.size())) {
        if (runPresetDialog(state)) control->draw(control, DR_REFRESH);
        return;
    }
    if (index < 0 || index >= intptr_t(state.presets.size())) return;
    Preset preset = state.presets[size_t(index)];
    applyPreset(state, preset);
}

static Preset currentSettings(LWControl *nameEdit) {
    Preset preset;
    preset.direction = int32_t(controlInt(panelReferences.directionChoice, CTL_VALUE));
    preset.tokenPosition = int32_t(controlInt(panelReferences.positionChoice, CTL_VALUE));
    preset.name = controlText(nameEdit);
    preset.sourceToken = controlText(panelReferences.sourceEdit);
    preset.targetToken = controlText(panelReferences.targetEdit);
    return preset;
}

bool runPresetDialog(RunState &state) {
    LWPanelFuncs *panels = panelReferences.panels;
    if (!panels || !panelReferences.list) return false;
    LWPanelID dialog = panels->create(kDialogTitle, nullptr);
    if (!dialog) return false;
    controlDescriptor.edit.type = LWT_EDIT;
    controlDescriptor.edit.width = 64;
    LWControl *nameEdit = panels->addControl(dialog, "EditControl", &controlDescriptor, kNameLabel);
    bool added = false;
    if (nameEdit && panels->open(dialog, kModalPanel)) {
        state.presets.push_back(currentSettings(nameEdit));
        added = true;
    }
    panels->destroy(dialog);
    return added;
}
