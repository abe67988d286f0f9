#include "tests/support/panel_scene.h"

#include <gtest/gtest.h>

#include "modeler/loader.h"
#include "tests/support/paths.h"

const std::string kDialogTitle = "\x83\x76\x83\x8A\x83\x5A\x83\x62\x83\x67\x8D\xEC\x90\xAC";
const std::string kPresetNameLabel = "\x83\x76\x83\x8A\x83\x5A\x83\x62\x83\x67\x96\xBC";
const std::string kNewPresetEntry = " ( new ) ";

PanelScene::PanelScene(Object sceneObject) : object(std::move(sceneObject)) {
    host.object = &object;
    host.settingsDirectory = settings.path();
    attachToolkit(host, toolkit);
    toolkit.driver = scriptedDriver(script);
}

int runScript(PanelScene &scene, const std::string &script) {
    std::string error;
    if (!parseScript(script, scene.script.actions, error)) {
        ADD_FAILURE() << "script: " << error;
        return -1;
    }
    int result = -1;
    if (!runSorvex(kModulePath, scene.host, 3, result, error)) {
        ADD_FAILURE() << error;
        return -1;
    }
    return result;
}

const PanelRecord *findPanel(const PanelScene &scene, const std::string &title, int ordinal) {
    for (const PanelRecord &panel : scene.toolkit.history) {
        if (panel.title == title && --ordinal == 0) return &panel;
    }
    return nullptr;
}

const PanelRecord &optionsPanel(const PanelScene &scene) {
    static const PanelRecord none;
    if (scene.toolkit.history.empty()) {
        ADD_FAILURE() << "no panel was opened";
        return none;
    }
    return scene.toolkit.history[0];
}

const ControlRecord &controlOf(const PanelRecord &panel, ControlKind kind, int ordinal) {
    static const ControlRecord none;
    for (const ControlRecord &control : panel.controls) {
        if (control.setup.kind == kind && --ordinal == 0) return control;
    }
    ADD_FAILURE() << "no " << controlKindName(kind) << " on the panel";
    return none;
}

std::string settingsText(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string &line : lines)
        text += line + "\n";
    return text;
}
