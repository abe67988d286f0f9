// The host's panel toolkit, as the command's panels use it.
#pragma once

#include <cstdint>

typedef struct st_LWPanel *LWPanelID;
struct LWControl;

enum { LWT_STRING = 1, LWT_INTEGER = 2 };

struct LWValString {
    int type;
    char *buf;
    int bufLen;
};

// Pointers (event handler, user data) travel in the value word too.
struct LWValInt {
    int type;
    intptr_t value;
};

union LWValue {
    int type;
    LWValString str;
    LWValInt intv;
};

// Control attributes.
enum {
    CTL_X = 0,
    CTL_Y = 1,
    CTL_VALUE = 4,
    CTL_MOUSEX = 5,
    CTL_USEREVENT = 14,
    CTL_USERDATA = 16,
};

constexpr int DR_REFRESH = 3;

// Flags of open: blocking, with a Cancel button, framed.
enum { PANF_BLOCKING = 1, PANF_CANCEL = 2, PANF_FRAME = 4 };

typedef void (*LWPanHookFunc)(LWControl *control, void *userData);
typedef int (*LWCountFunc)(void *userData);
typedef const char *(*LWNameFunc)(void *userData, int index);
typedef const char *(*LWMultiNameFunc)(void *userData, int row, int column);
typedef int (*LWColumnWidthFunc)(void *userData, int column);

struct LWControl {
    void (*draw)(LWControl *control, int mode);
    void (*get)(LWControl *control, uint32_t attribute, LWValue *value);
    void (*set)(LWControl *control, uint32_t attribute, LWValue *value);
};

// Descriptor type codes.
enum { LWT_EDIT = 1, LWT_BUTTON = 2, LWT_CHOICE = 9, LWT_CUSTPOPUP = 18, LWT_MLIST = 22 };

struct LWChoiceDesc {
    int type;
    const char **items; // null-ended
    int vertical;
};

struct LWPopupDesc {
    int type;
    const char **items; // null-ended
    int width;
};

struct LWEditDesc {
    int type;
    int width; // characters
};

struct LWButtonDesc {
    int type;
};

struct LWMultiListDesc {
    int type;
    int width;
    int visibleRows;
    int top;
    LWCountFunc count;
    LWMultiNameFunc cell;
    LWColumnWidthFunc columnWidth;
};

struct LWCustomPopupDesc {
    int type;
    int width;
    LWCountFunc count;
    LWNameFunc name;
};

union LWPanControlDesc {
    int type;
    LWChoiceDesc choice;
    LWPopupDesc popup;
    LWEditDesc edit;
    LWButtonDesc button;
    LWMultiListDesc multiList;
    LWCustomPopupDesc customPopup;
};

struct LWPanelFuncs {
    LWPanelID (*create)(const char *title, void *reserved);
    void (*destroy)(LWPanelID panel);
    // Non-zero after OK, 0 after Cancel.
    int (*open)(LWPanelID panel, int flags);
    LWControl *(*addControl)(LWPanelID panel, const char *kind, LWPanControlDesc *desc, const char *label);
};
