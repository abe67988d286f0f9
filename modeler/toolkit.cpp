#include "modeler/toolkit.h"

#include <algorithm>
#include <cstring>

#include "modeler/cp932.h"
#include "modeler/host.h"

// Columns a list may have; a column-width callback that never ends stops here.
static const int kMaxColumns = 64;

static const char *const kindNames[kControlKindCount] = {
    "ChoiceControl", "PopupControl",        "EditControl",
    "ButtonControl", "MultiListBoxControl", "CustomPopupControl",
};

const char *controlKindName(ControlKind kind) {
    return kindNames[int(kind)];
}

static bool kindNamed(const char *name, ControlKind &kind) {
    for (int i = 0; i < kControlKindCount; ++i) {
        if (std::strcmp(name, kindNames[i]) != 0) continue;
        kind = ControlKind(i);
        return true;
    }
    return false;
}

static ToolkitPanel *panelOf(LWPanelID id) {
    return reinterpret_cast<ToolkitPanel *>(id);
}

static ToolkitControl *controlOf(LWControl *control) {
    return control ? reinterpret_cast<ControlHandle *>(control)->owner : nullptr;
}

static void reportError(Toolkit &toolkit, const std::string &message) {
    toolkit.errors.push_back(message);
}

static std::string describe(const ToolkitControl &control) {
    return std::string(controlKindName(control.setup.kind)) + " \"" + cp932ToDisplay(control.setup.label) +
           "\"";
}

static void callHandler(ToolkitControl &control) {
    if (control.handler) control.handler(&control.handle.funcs, control.userData);
}

// Attributes

static bool isIntegerValue(ToolkitControl &control, const LWValue &value, uint32_t attribute) {
    if (value.type == LWT_INTEGER) return true;
    reportError(*control.panel->toolkit,
                describe(control) + ": attribute " + std::to_string(attribute) + " needs an integer value");
    return false;
}

static void getText(ToolkitControl &control, LWValue &value) {
    if (value.type != LWT_STRING || !value.str.buf || value.str.bufLen <= 0) {
        reportError(*control.panel->toolkit, describe(control) + ": text read without a buffer");
        return;
    }
    size_t length = std::min(control.text.size(), size_t(value.str.bufLen) - 1);
    std::memcpy(value.str.buf, control.text.data(), length);
    value.str.buf[length] = '\0';
}

static void setText(ToolkitControl &control, const LWValue &value) {
    if (value.type != LWT_STRING) {
        reportError(*control.panel->toolkit, describe(control) + ": text written without a string value");
        return;
    }
    // The text is the buffer up to its terminator, never past the length given.
    if (!value.str.buf || value.str.bufLen <= 0) {
        control.text.clear();
        return;
    }
    const void *end = std::memchr(value.str.buf, '\0', size_t(value.str.bufLen));
    size_t length = end ? size_t(static_cast<const char *>(end) - value.str.buf) : size_t(value.str.bufLen);
    control.text.assign(value.str.buf, length);
}

static intptr_t integerAttribute(const ToolkitControl &control, uint32_t attribute) {
    switch (attribute) {
    case CTL_X:
        return control.x;
    case CTL_Y:
        return control.y;
    case CTL_VALUE:
        return control.setup.kind == ControlKind::Button ? 0 : control.value;
    case CTL_MOUSEX:
        return control.mouseX;
    case CTL_USEREVENT:
        return reinterpret_cast<intptr_t>(control.handler);
    case CTL_USERDATA:
        return reinterpret_cast<intptr_t>(control.userData);
    default:
        return 0;
    }
}

static bool knownAttribute(uint32_t attribute) {
    return attribute == CTL_X || attribute == CTL_Y || attribute == CTL_VALUE || attribute == CTL_MOUSEX ||
           attribute == CTL_USEREVENT || attribute == CTL_USERDATA;
}

// The control behind a get or set of a known attribute; null, with the
// misuse reported, otherwise.
static ToolkitControl *attributeControl(LWControl *handle, uint32_t attribute, LWValue *value) {
    ToolkitControl *control = controlOf(handle);
    if (!control || !value) return nullptr;
    if (knownAttribute(attribute)) return control;
    reportError(*control->panel->toolkit,
                describe(*control) + ": unknown attribute " + std::to_string(attribute));
    return nullptr;
}

static void getAttribute(LWControl *handle, uint32_t attribute, LWValue *value) {
    ToolkitControl *control = attributeControl(handle, attribute, value);
    if (!control) return;
    if (attribute == CTL_VALUE && control->setup.kind == ControlKind::Edit) return getText(*control, *value);
    if (isIntegerValue(*control, *value, attribute))
        value->intv.value = integerAttribute(*control, attribute);
}

static void setAttribute(LWControl *handle, uint32_t attribute, LWValue *value) {
    ToolkitControl *control = attributeControl(handle, attribute, value);
    if (!control) return;
    if (attribute == CTL_VALUE && control->setup.kind == ControlKind::Edit) return setText(*control, *value);
    if (!isIntegerValue(*control, *value, attribute)) return;
    intptr_t word = value->intv.value;
    switch (attribute) {
    case CTL_X:
        control->x = int(word);
        break;
    case CTL_Y:
        control->y = int(word);
        break;
    case CTL_VALUE:
        control->value = int(word);
        break;
    case CTL_MOUSEX:
        control->mouseX = int(word);
        break;
    case CTL_USEREVENT:
        control->handler = reinterpret_cast<LWPanHookFunc>(word);
        break;
    case CTL_USERDATA:
        control->userData = reinterpret_cast<void *>(word);
        break;
    default:
        break;
    }
}

static void drawControl(LWControl *handle, int) {
    if (ToolkitControl *control = controlOf(handle)) ++control->drawCount;
}

// Panels

static LWPanelID createPanel(const char *title, void *) {
    Host *host = currentHost();
    Toolkit *toolkit = host ? host->toolkit : nullptr;
    if (!toolkit || toolkit->createLimit == 0) return nullptr;
    if (toolkit->createLimit > 0) --toolkit->createLimit;
    auto panel = std::make_unique<ToolkitPanel>();
    panel->toolkit = toolkit;
    panel->title = title ? title : "";
    toolkit->panels.push_back(std::move(panel));
    return reinterpret_cast<LWPanelID>(toolkit->panels.back().get());
}

static void destroyPanel(LWPanelID id) {
    ToolkitPanel *panel = panelOf(id);
    if (!panel) return;
    Toolkit &toolkit = *panel->toolkit;
    if (panel->isOpen) {
        reportError(toolkit, "panel \"" + cp932ToDisplay(panel->title) + "\" destroyed while open");
        return;
    }
    for (auto it = toolkit.panels.begin(); it != toolkit.panels.end(); ++it) {
        if (it->get() != panel) continue;
        toolkit.panels.erase(it);
        return;
    }
}

static std::vector<std::string> copyItems(const char *const *items) {
    std::vector<std::string> copies;
    for (; items && *items; ++items)
        copies.emplace_back(*items);
    return copies;
}

static void takeDescriptor(ToolkitControl &control, const LWPanControlDesc &desc) {
    ControlSetup &setup = control.setup;
    setup.type = desc.type;
    switch (setup.kind) {
    case ControlKind::Choice:
        setup.items = copyItems(desc.choice.items);
        setup.vertical = desc.choice.vertical;
        break;
    case ControlKind::Popup:
        setup.items = copyItems(desc.popup.items);
        setup.width = desc.popup.width;
        break;
    case ControlKind::Edit:
        setup.width = desc.edit.width;
        break;
    case ControlKind::Button:
        break;
    case ControlKind::MultiList:
        setup.width = desc.multiList.width;
        setup.visibleRows = desc.multiList.visibleRows;
        setup.top = desc.multiList.top;
        control.count = desc.multiList.count;
        control.cell = desc.multiList.cell;
        control.columnWidth = desc.multiList.columnWidth;
        control.value = -1;
        break;
    case ControlKind::CustomPopup:
        setup.width = desc.customPopup.width;
        control.count = desc.customPopup.count;
        control.name = desc.customPopup.name;
        break;
    }
}

static LWControl *addControl(LWPanelID id, const char *kind, LWPanControlDesc *desc, const char *label) {
    ToolkitPanel *panel = panelOf(id);
    if (!panel) return nullptr;
    ControlKind controlKind;
    if (!kind || !kindNamed(kind, controlKind)) {
        reportError(*panel->toolkit,
                    std::string("unknown control kind \"") + (kind ? kind : "(null)") + "\"");
        return nullptr;
    }
    if (!desc) {
        reportError(*panel->toolkit, std::string(kind) + " added without a descriptor");
        return nullptr;
    }
    auto control = std::make_unique<ToolkitControl>();
    control->handle.funcs = {drawControl, getAttribute, setAttribute};
    control->handle.owner = control.get();
    control->panel = panel;
    control->setup.kind = controlKind;
    control->setup.label = label ? label : "";
    takeDescriptor(*control, *desc);
    panel->controls.push_back(std::move(control));
    return &panel->controls.back()->handle.funcs;
}

static ControlRecord recordControl(const ToolkitControl &control) {
    ControlRecord record;
    record.setup = control.setup;
    record.x = control.x;
    record.y = control.y;
    record.value = control.setup.kind == ControlKind::Button ? 0 : control.value;
    record.text = control.text;
    record.drawCount = control.drawCount;
    int entries = entryCount(control);
    for (int i = 0; i < entries; ++i)
        record.entries.push_back(entryText(control, i));
    if (control.setup.kind != ControlKind::MultiList) return record;
    int columns = columnCount(control);
    for (int column = 0; column < columns; ++column)
        record.headings.push_back(cellText(control, -1, column));
    int rows = rowCount(control);
    for (int row = 0; row < rows; ++row) {
        std::vector<std::string> &cells = record.rows.emplace_back();
        for (int column = 0; column < columns; ++column)
            cells.push_back(cellText(control, row, column));
    }
    return record;
}

static PanelClose runDriver(ToolkitPanel &panel, int flags) {
    Toolkit &toolkit = *panel.toolkit;
    std::string title = cp932ToDisplay(panel.title);
    if (!(flags & PANF_BLOCKING)) {
        reportError(toolkit, "panel \"" + title + "\" opened without blocking; only modal panels are run");
        return PanelClose::Error;
    }
    if (panel.isOpen) {
        reportError(toolkit, "panel \"" + title + "\" opened again while open");
        return PanelClose::Error;
    }
    if (!toolkit.driver.run) {
        reportError(toolkit, "panel \"" + title + "\" opened with nobody to operate it");
        return PanelClose::Error;
    }
    panel.isOpen = true;
    PanelClose close = toolkit.driver.run(panel, toolkit.driver.context);
    panel.isOpen = false;
    return close;
}

static int openPanel(LWPanelID id, int flags) {
    ToolkitPanel *panel = panelOf(id);
    if (!panel) return 0;
    Toolkit &toolkit = *panel->toolkit;
    // The entry is made now and filled at close: panels opened meanwhile
    // (from a handler) come after it.
    size_t entry = toolkit.history.size();
    toolkit.history.push_back(PanelRecord{panel->title, PanelClose::Error, {}});
    PanelClose close = runDriver(*panel, flags);
    PanelRecord &record = toolkit.history[entry];
    record.close = close;
    for (const auto &control : panel->controls)
        record.controls.push_back(recordControl(*control));
    return close == PanelClose::Ok ? 1 : 0;
}

LWPanelFuncs toolkitFuncs() {
    LWPanelFuncs funcs;
    funcs.create = createPanel;
    funcs.destroy = destroyPanel;
    funcs.open = openPanel;
    funcs.addControl = addControl;
    return funcs;
}

void attachToolkit(Host &host, Toolkit &toolkit) {
    host.panels = &toolkit.funcs;
    host.toolkit = &toolkit;
}

// User actions

static bool isPickable(ControlKind kind) {
    return kind == ControlKind::Choice || kind == ControlKind::Popup || kind == ControlKind::CustomPopup;
}

bool pickItem(ToolkitControl &control, int index) {
    if (!isPickable(control.setup.kind)) return false;
    if (index < 0 || index >= entryCount(control)) return false;
    control.value = index;
    callHandler(control);
    return true;
}

bool typeText(ToolkitControl &control, std::string_view text) {
    if (control.setup.kind != ControlKind::Edit) return false;
    control.text = text;
    callHandler(control);
    return true;
}

bool pressButton(ToolkitControl &control) {
    if (control.setup.kind != ControlKind::Button) return false;
    callHandler(control);
    return true;
}

bool clickRow(ToolkitControl &control, int row, int x) {
    if (control.setup.kind != ControlKind::MultiList) return false;
    control.value = row;
    control.mouseX = x;
    callHandler(control);
    return true;
}

// What controls show

int entryCount(const ToolkitControl &control) {
    if (control.setup.kind == ControlKind::Choice || control.setup.kind == ControlKind::Popup)
        return int(control.setup.items.size());
    if (control.setup.kind != ControlKind::CustomPopup || !control.count) return 0;
    int count = control.count(control.userData);
    return count > 0 ? count : 0;
}

std::string entryText(const ToolkitControl &control, int index) {
    if (index < 0) return "";
    if (control.setup.kind == ControlKind::Choice || control.setup.kind == ControlKind::Popup)
        return size_t(index) < control.setup.items.size() ? control.setup.items[size_t(index)] : "";
    if (control.setup.kind != ControlKind::CustomPopup || !control.name) return "";
    const char *name = control.name(control.userData, index);
    return name ? name : "";
}

int rowCount(const ToolkitControl &list) {
    if (list.setup.kind != ControlKind::MultiList || !list.count) return 0;
    int count = list.count(list.userData);
    return count > 0 ? count : 0;
}

int columnWidth(const ToolkitControl &list, int column) {
    if (list.setup.kind != ControlKind::MultiList || !list.columnWidth || column < 0) return 0;
    return list.columnWidth(list.userData, column);
}

int columnCount(const ToolkitControl &list) {
    int columns = 0;
    while (columns < kMaxColumns && columnWidth(list, columns) > 0)
        ++columns;
    return columns;
}

std::string cellText(const ToolkitControl &list, int row, int column) {
    if (list.setup.kind != ControlKind::MultiList || !list.cell) return "";
    const char *text = list.cell(list.userData, row, column);
    return text ? text : "";
}

ToolkitControl *findControl(ToolkitPanel &panel, std::string_view label) {
    for (auto &control : panel.controls) {
        if (control->setup.label == label) return control.get();
    }
    return nullptr;
}

ToolkitControl *findControl(ToolkitPanel &panel, ControlKind kind, int ordinal) {
    if (ordinal < 1) return nullptr;
    for (auto &control : panel.controls) {
        if (control->setup.kind == kind && --ordinal == 0) return control.get();
    }
    return nullptr;
}
