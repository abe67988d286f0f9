// The options panel, its replacement list and its presets.
#pragma once

#include <cstdint>
#include <string>

#include "host/globals.h"
#include "host/panel.h"

struct RunState;

// Shows the modal options panel. 1 after OK (the panel's values are in the
// state), 0 after Cancel or when no panel can be shown.
int runOptionsPanel(RunState &state, GlobalFunc global);

// Event handlers of the options panel. data is the RunState; each does
// nothing when it is null.
void onDirectionPicked(LWControl *control, void *data);
void onPositionPicked(LWControl *control, void *data);
void onKindPicked(LWControl *control, void *data);
void onUpdate(LWControl *control, void *data);

// The replacement list: a check column and the two map names of each pair.
// The callbacks answer 0 or null when data is null.
int listCount(void *data);
const char *listCell(void *data, int row, int column);
int listColumnWidth(void *data, int column);
void onListClick(LWControl *control, void *data);

// The preset popup: the stored presets, then " ( new ) ".
int presetCount(void *data);
const char *presetName(void *data, int index);
void onPresetPicked(LWControl *control, void *data);

// Asks for a name and appends the panel's current settings as a preset;
// true when one was added.
bool runPresetDialog(RunState &state);

// What the handlers of the open options panel reach: set each time the panel
// is built, not used after it is destroyed.
struct PanelReferences {
    LWPanelFuncs *panels = nullptr;
    LWControl *list = nullptr;
    LWControl *sourceEdit = nullptr;
    LWControl *targetEdit = nullptr;
    LWControl *directionChoice = nullptr;
    LWControl *positionChoice = nullptr;
};

// Set while the options panel is open; cleared when it is destroyed.
extern PanelReferences panelReferences;

// Filled anew before each addControl; the toolkit copies what it needs.
extern LWPanControlDesc controlDescriptor;

// Blocking, with OK and Cancel, framed.
constexpr int kModalPanel = PANF_BLOCKING | PANF_CANCEL | PANF_FRAME;

// Texts travel through buffers of this size: at most 259 bytes and a terminator.
constexpr int kTextBufferSize = 260;

intptr_t controlInt(LWControl *control, uint32_t attribute);
void setControlInt(LWControl *control, uint32_t attribute, intptr_t value);
void setControlPointer(LWControl *control, uint32_t attribute, void *pointer);

// The edit's text, read into a 260-byte buffer.
std::string controlText(LWControl *control);

// Writes at most 259 bytes of the text, never splitting a double-byte
// character.
void setControlText(LWControl *control, const std::string &text);

// How many bytes of text fit in limit bytes without splitting a CP932
// double-byte character.
size_t fittingLength(const std::string &text, size_t limit);
