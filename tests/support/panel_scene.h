// The real module run on a small object, with its panels operated by a
// script, for end-to-end tests of the panels.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "modeler/host.h"
#include "modeler/scripted.h"
#include "modeler/toolkit.h"
#include "tests/support/fixtures.h"

// CP932 labels and texts of the panels.
extern const std::string kDialogTitle;     // "プリセット作成"
extern const std::string kPresetNameLabel; // "プリセット名"
extern const std::string kNewPresetEntry;  // " ( new ) "

struct PanelScene {
    TempDir settings;
    Object object;
    Host host;
    Toolkit toolkit;
    ScriptRun script;

    explicit PanelScene(Object object);
    PanelScene(const PanelScene &) = delete;
    PanelScene &operator=(const PanelScene &) = delete;

    std::string settingsPath() const { return settings.file("sorvex.cfg.txt"); }
    Layer &layer() { return object.layers[0]; }
};

// Runs the command with the script text and answers what activate answered;
// -1, with a test failure, when the script does not parse or the module
// cannot be run.
int runScript(PanelScene &scene, const std::string &script);

// The panel with that title opened at the given place among those with it.
const PanelRecord *findPanel(const PanelScene &scene, const std::string &title, int ordinal = 1);

// The options panel of the run (the first panel opened).
const PanelRecord &optionsPanel(const PanelScene &scene);

// The ordinal-th control of that kind (from 1) on a recorded panel.
const ControlRecord &controlOf(const PanelRecord &panel, ControlKind kind, int ordinal = 1);

// Lines joined as the settings file holds them.
std::string settingsText(std::initializer_list<std::string> lines);

typedef std::vector<std::vector<std::string>> Rows;
