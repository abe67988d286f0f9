// The modal options panel: direction, token position, tokens, map kind, the
// replacement list and the preset popup.
#include "module/run_state.h"
#include "pairing/pairing.h"
#include "panel/panel.h"

static const char kPanelTitle[] = "Sorvex";
// "コピー方向(X軸)"
static const char kDirectionLabel[] = "\x83\x52\x83\x73\x81\x5B\x95\xFB\x8C\xFC\x28\x58\x8E\xB2\x29";
// "置換位置"
static const char kPositionLabel[] = "\x92\x75\x8A\xB7\x88\xCA\x92\x75";
// "元マップ"
static const char kSourceLabel[] = "\x8C\xB3\x83\x7D\x83\x62\x83\x76";
// "対象マップ"
static const char kTargetLabel[] = "\x91\xCE\x8F\xDB\x83\x7D\x83\x62\x83\x76";
// "更新"
static const char kUpdateLabel[] = "\x8D\x58\x90\x56";
// "置き換え一覧"
static const char kListLabel[] = "\x92\x75\x82\xAB\x8A\xB7\x82\xA6\x88\xEA\x97\x97";
// "頂点マップタイプ"
static const char kKindLabel[] = "\x92\xB8\x93\x5F\x83\x7D\x83\x62\x83\x76\x83\x5E\x83\x43\x83\x76";
// "プリセット"
static const char kPresetLabel[] = "\x83\x76\x83\x8A\x83\x5A\x83\x62\x83\x67";

// "－ ← ＋", "－ → ＋"
static const char *directionItems[] = {"\x81\x7C\x20\x81\xA9\x20\x81\x7B", "\x81\x7C\x20\x81\xA8\x20\x81\x7B",
                                       nullptr};
// "接頭辞", "接尾辞"
static const char *positionItems[] = {"\x90\xDA\x93\xAA\x8E\xAB", "\x90\xDA\x94\xF6\x8E\xAB", nullptr};
// "ウェイト", "モーフ", "スポット"
static const char *kindItems[] = {"\x83\x45\x83\x46\x83\x43\x83\x67", "\x83\x82\x81\x5B\x83\x74",
                                  "\x83\x58\x83\x7C\x83\x62\x83\x67", nullptr};

struct OptionsControls {
    LWControl *directionChoice;
    LWControl *positionChoice;
    LWControl *sourceEdit;
    LWControl *targetEdit;
    LWControl *updateButton;
    LWControl *list;
    LWControl *kindPopup;
    LWControl *presetPopup;
};

static LWControl *addChoice(LWPanelFuncs &panels, LWPanelID panel, const char **items, const char *label) {
    controlDescriptor.choice.type = LWT_CHOICE;
    controlDescriptor.choice.items = items;
    controlDescriptor.choice.vertical = 0;
    return panels.addControl(panel, "ChoiceControl", &controlDescriptor, label);
}

static LWControl *addEdit(LWPanelFuncs &panels, LWPanelID panel, const char *label) {
    controlDescriptor.edit.type = LWT_EDIT;
    controlDescriptor.edit.width = 32;
    return panels.addControl(panel, "EditControl", &controlDescriptor, label);
}

static LWControl *addButton(LWPanelFuncs &panels, LWPanelID panel, const char *label) {
    controlDescriptor.button.type = LWT_BUTTON;
    return panels.addControl(panel, "ButtonControl", &controlDescriptor, label);
}

static LWControl *addList(LWPanelFuncs &panels, LWPanelID panel, const char *label) {
    controlDescriptor.multiList.type = LWT_MLIST;
    controlDescriptor.multiList.width = 450;
    controlDescriptor.multiList.visibleRows = 8;
    controlDescriptor.multiList.top = 0;
    controlDescriptor.multiList.count = listCount;
    controlDescriptor.multiList.cell = listCell;
    controlDescriptor.multiList.columnWidth = listColumnWidth;
    return panels.addControl(panel, "MultiListBoxControl", &controlDescriptor, label);
}

static LWControl *addPopup(LWPanelFuncs &panels, LWPanelID panel, const char **items, const char *label) {
    controlDescriptor.popup.type = LWT_CHOICE;
    controlDescriptor.popup.items = items;
    controlDescriptor.popup.width = 75;
    return panels.addControl(panel, "PopupControl", &controlDescriptor, label);
}

static LWControl *addCustomPopup(LWPanelFuncs &panels, LWPanelID panel, const char *label) {
    controlDescriptor.customPopup.type = LWT_CUSTPOPUP;
    controlDescriptor.customPopup.width = 150;
    controlDescriptor.customPopup.count = presetCount;
    controlDescriptor.customPopup.name = presetName;
    return panels.addControl(panel, "CustomPopupControl", &controlDescriptor, label);
}

// Adds the eight controls in their order; false when the toolkit refused one.
static bool addControls(LWPanelFuncs &panels, LWPanelID panel, OptionsControls &controls) {
    controls.directionChoice = addChoice(panels, panel, directionItems, kDirectionLabel);
    controls.positionChoice = addChoice(panels, panel, positionItems, kPositionLabel);
    controls.sourceEdit = addEdit(panels, panel, kSourceLabel);
    controls.targetEdit = addEdit(panels, panel, kTargetLabel);
    controls.updateButton = addButton(panels, panel, kUpdateLabel);
    controls.list = addList(panels, panel, kListLabel);
    controls.kindPopup = addPopup(panels, panel, kindItems, kKindLabel);
    controls.presetPopup = addCustomPopup(panels, panel, kPresetLabel);
    return controls.directionChoice && controls.positionChoice && controls.sourceEdit &&
           controls.targetEdit && controls.updateButton && controls.list && controls.kindPopup &&
           controls.presetPopup;
}

static void setInitialValues(RunState &state, const OptionsControls &controls) {
    if (state.direction == -1) state.direction = 0;
    setControlInt(controls.directionChoice, CTL_VALUE, state.direction);
    setControlInt(controls.positionChoice, CTL_VALUE, state.tokenPosition);
    setControlText(controls.sourceEdit, state.sourceToken);
    setControlText(controls.targetEdit, state.targetToken);
    setControlInt(controls.kindPopup, CTL_VALUE, state.mapKind);
}

static void wire(LWControl *control, LWPanHookFunc handler, RunState &state) {
    setControlPointer(control, CTL_USERDATA, &state);
    setControlPointer(control, CTL_USEREVENT, reinterpret_cast<void *>(handler));
}

static void wireHandlers(RunState &state, const OptionsControls &controls) {
    wire(controls.list, onListClick, state);
    wire(controls.updateButton, onUpdate, state);
    wire(controls.directionChoice, onDirectionPicked, state);
    wire(controls.positionChoice, onPositionPicked, state);
    wire(controls.kindPopup, onKindPicked, state);
    wire(controls.presetPopup, onPresetPicked, state);
}

static void place(LWControl *control, int x, int y) {
    setControlInt(control, CTL_X, x);
    setControlInt(control, CTL_Y, y);
}

static void placeControls(const OptionsControls &controls) {
    place(controls.kindPopup, 4, 2);
    place(controls.presetPopup, 220, 2);
    place(controls.directionChoice, 4, 27);
    place(controls.positionChoice, 220, 27);
    place(controls.sourceEdit, 4, 52);
    place(controls.targetEdit, 240, 52);
    place(controls.updateButton, 4, 77);
    place(controls.list, 4, 102);
}

static void readConfirmedValues(RunState &state, const OptionsControls &controls) {
    state.direction = int32_t(controlInt(controls.directionChoice, CTL_VALUE));
    if (state.direction == 0) state.direction = -1;
    state.tokenPosition = int32_t(controlInt(controls.positionChoice, CTL_VALUE));
    state.sourceToken = controlText(controls.sourceEdit);
    state.targetToken = controlText(controls.targetEdit);
    state.mapKind = int32_t(controlInt(controls.kindPopup, CTL_VALUE));
}

int runOptionsPanel(RunState &state, GlobalFunc global) {
    auto *panels = static_cast<LWPanelFuncs *>(global(LWPANELFUNCS_GLOBAL, 0));
    if (!panels) return 0;
    panelReferences = PanelReferences{};
    panelReferences.panels = panels;
    LWPanelID panel = panels->create(kPanelTitle, nullptr);
    if (!panel) return 0;

    OptionsControls controls;
    if (!addControls(*panels, panel, controls)) {
        panels->destroy(panel);
        panelReferences = PanelReferences{};
        return 0;
    }
    setInitialValues(state, controls);
    wireHandlers(state, controls);
    panelReferences.list = controls.list;
    panelReferences.sourceEdit = controls.sourceEdit;
    panelReferences.targetEdit = controls.targetEdit;
    panelReferences.directionChoice = controls.directionChoice;
    panelReferences.positionChoice = controls.positionChoice;
    placeControls(controls);

    int result = panels->open(panel, kModalPanel) ? 1 : 0;
    if (result) readConfirmedValues(state, controls);
    panels->destroy(panel);
    panelReferences = PanelReferences{};
    return result;
}

void onDirectionPicked(LWControl *control, void *data) {
    if (!control || !data) return;
    static_cast<RunState *>(data)->direction = int32_t(controlInt(control, CTL_VALUE));
}

void onPositionPicked(LWControl *control, void *data) {
    if (!control || !data) return;
    static_cast<RunState *>(data)->tokenPosition = int32_t(controlInt(control, CTL_VALUE));
}

void onKindPicked(LWControl *control, void *data) {
    if (!control || !data) return;
    static_cast<RunState *>(data)->mapKind = int32_t(controlInt(control, CTL_VALUE));
}

void onUpdate(LWControl *, void *data) {
    if (!data || !panelReferences.list) return;
    RunState &state = *static_cast<RunState *>(data);
    state.sourceToken = controlText(panelReferences.sourceEdit);
    state.targetToken = controlText(panelReferences.targetEdit);
    collectMapNames(state);
    buildPairs(state);
    panelReferences.list->draw(panelReferences.list, DR_REFRESH);
}
