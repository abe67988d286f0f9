// The replacement list: a check column and the source and target map names
// of every pair; a click in the check column switches the pair.
#include "module/run_state.h"
#include "panel/panel.h"

static const int kChecksColumnWidth = 30;
static const int kNameColumnWidth = 210;

static const char kOnMark[] = "v";
static const char kOffMark[] = " ";
static const char *headings[] = {" ", "source", "dist"};

int listCount(void *data) {
    if (!data) return 0;
    return int(static_cast<RunState *>(data)->pairs.size());
}

const char *listCell(void *data, int row, int column) {
    if (!data || column < 0 || column > 2) return nullptr;
    const RunState &state = *static_cast<RunState *>(data);
    if (row == -1) return headings[column];
    if (row < 0 || size_t(row) >= state.pairs.size()) return nullptr;
    const MapPair &pair = state.pairs[size_t(row)];
    if (column == 0) return pair.active ? kOnMark : kOffMark;
    return column == 1 ? pair.sourceName.c_str() : pair.targetName.c_str();
}

int listColumnWidth(void *data, int column) {
    if (!data) return 0;
    if (column == 0) return kChecksColumnWidth;
    if (column == 1 || column == 2) return kNameColumnWidth;
    return 0;
}

void onListClick(LWControl *control, void *data) {
    if (!control || !data) return;
    RunState &state = *static_cast<RunState *>(data);
    // Only a click within the check column switches the row; a negative
    // position counts as within.
    if (int32_t(controlInt(control, CTL_MOUSEX)) > kChecksColumnWidth) return;
    int32_t row = int32_t(controlInt(control, CTL_VALUE));
    if (row < 0 || size_t(row) >= state.pairs.size()) return;
    MapPair &pair = state.pairs[size_t(row)];
    pair.active = pair.active ? 0 : 1;
    control->draw(control, DR_REFRESH);
}
