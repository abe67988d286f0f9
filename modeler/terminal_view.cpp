// One open panel in the terminal: its focus, the keys and clicks that work
// it through the toolkit's user actions, and its drawing.
#include <algorithm>

#include "modeler/cp932.h"
#include "modeler/terminal.h"

namespace {

// The command reads an edit into a 260-byte buffer: 259 bytes and the end.
const size_t kEditBytes = 259;

const char kHelp[] = "Tab/arrows: move  Enter/Space: change  F10/Ctrl-O: OK  Esc: cancel";
const char kEditHelp[] = "type to edit  Tab/Up/Down: move  F10/Ctrl-O: OK  Esc: cancel";
const char kDropHelp[] = "Up/Down: choose  Enter/Space: pick  Esc: close the list";

std::string shown(const std::string &cp932) {
    return cp932ToDisplay(cp932);
}

int placeCount(const PanelView &view) {
    return int(view.layout.places.size());
}

int innerTop(const PanelView &view) {
    return view.top + 1;
}

int innerLeft(const PanelView &view) {
    return view.left + 2;
}

ControlPlace *focusedPlace(PanelView &view) {
    return view.focus < placeCount(view) ? &view.layout.places[size_t(view.focus)] : nullptr;
}

const ControlPlace *focusedPlace(const PanelView &view) {
    return view.focus < placeCount(view) ? &view.layout.places[size_t(view.focus)] : nullptr;
}

int visibleRows(const ControlPlace &list) {
    return list.height - 4;
}

size_t nextBoundary(const std::string &text, size_t at) {
    if (at >= text.size()) return text.size();
    ++at;
    while (at < text.size() && (uint8_t(text[at]) & 0xC0) == 0x80)
        ++at;
    return at;
}

size_t previousBoundary(const std::string &text, size_t at) {
    if (at == 0) return 0;
    --at;
    while (at > 0 && (uint8_t(text[at]) & 0xC0) == 0x80)
        --at;
    return at;
}

// The text cut to at most cells, without splitting a character, then padded to exactly cells.
std::string fitted(const std::string &text, int cells) {
    std::string out;
    int used = 0;
    for (size_t at = 0, next = 0; at < text.size(); at = next) {
        next = nextBoundary(text, at);
        int width = displayWidth(std::string_view(text).substr(at, next - at));
        if (used + width > cells) break;
        out.append(text, at, next - at);
        used += width;
    }
    return out + std::string(size_t(std::max(cells - used, 0)), ' ');
}

// Focus and edits

void enterEdit(PanelView &view) {
    ControlPlace *place = focusedPlace(view);
    view.editing = place && place->control->setup.kind == ControlKind::Edit;
    view.edited = false;
    view.draft = view.editing ? shown(place->control->text) : "";
    view.cursor = view.draft.size();
}

// Hands a changed draft to the edit as the user's typing. False, with a
// message, when the code page cannot hold it.
bool commitEdit(PanelView &view) {
    if (!view.editing || !view.edited) return true;
    std::string text;
    if (!utf8ToCp932(view.draft, text)) {
        view.message = "the text cannot be written in the modeler's code page (CP932)";
        return false;
    }
    view.edited = false;
    typeText(*focusedPlace(view)->control, text);
    return true;
}

bool setFocus(PanelView &view, int target) {
    int count = placeCount(view) + 2;
    target = (target % count + count) % count;
    if (target == view.focus) return true;
    if (!commitEdit(view)) return false;
    view.focus = target;
    view.dropEntry = -1;
    enterEdit(view);
    return true;
}

struct Spot {
    int top;
    int bottom;
    int column;
};

Spot spotOf(const PanelView &view, int target) {
    const PanelLayout &layout = view.layout;
    if (target < placeCount(view)) {
        const ControlPlace &place = layout.places[size_t(target)];
        return {place.row, place.row + place.height - 1, place.column};
    }
    int column = target == placeCount(view) ? layout.okColumn : layout.cancelColumn;
    return {layout.buttonRow, layout.buttonRow, column};
}

// The nearest target on the closest line above (or below) the focus; -1
// when there is none.
int targetBeside(const PanelView &view, bool above) {
    Spot here = spotOf(view, view.focus);
    int best = -1, bestRows = 0, bestColumns = 0;
    for (int target = 0; target < placeCount(view) + 2; ++target) {
        Spot spot = spotOf(view, target);
        int rows = above ? here.top - spot.bottom : spot.top - here.bottom;
        int columns = std::abs(spot.column - here.column);
        if (rows <= 0) continue;
        if (best >= 0 && (rows > bestRows || (rows == bestRows && columns >= bestColumns))) continue;
        best = target;
        bestRows = rows;
        bestColumns = columns;
    }
    return best;
}

void insertText(PanelView &view, const std::string &text) {
    for (size_t at = 0, next = 0; at < text.size(); at = next) {
        next = nextBoundary(text, at);
        std::string piece = text.substr(at, next - at);
        if (uint8_t(piece[0]) < 0x20 || piece[0] == 0x7F) continue;
        std::string draft = view.draft;
        draft.insert(view.cursor, piece);
        std::string cp932;
        if (!utf8ToCp932(draft, cp932)) {
            view.message = "\"" + piece + "\" cannot be written in the modeler's code page (CP932)";
            return;
        }
        if (cp932.size() > kEditBytes) {
            view.message = "an edit holds at most " + std::to_string(kEditBytes) + " bytes";
            return;
        }
        view.draft = std::move(draft);
        view.cursor += piece.size();
        view.edited = true;
    }
}

// Keys that change the draft or move its cursor; false for any other.
bool editKey(PanelView &view, const KeyEvent &key) {
    switch (key.kind) {
    case KeyKind::Text:
        insertText(view, key.text);
        return true;
    case KeyKind::Backspace:
        if (view.cursor == 0) return true;
        {
            size_t from = previousBoundary(view.draft, view.cursor);
            view.draft.erase(from, view.cursor - from);
            view.cursor = from;
        }
        view.edited = true;
        return true;
    case KeyKind::Delete:
        if (view.cursor >= view.draft.size()) return true;
        view.draft.erase(view.cursor, nextBoundary(view.draft, view.cursor) - view.cursor);
        view.edited = true;
        return true;
    case KeyKind::Left:
        view.cursor = previousBoundary(view.draft, view.cursor);
        return true;
    case KeyKind::Right:
        view.cursor = nextBoundary(view.draft, view.cursor);
        return true;
    case KeyKind::Home:
        view.cursor = 0;
        return true;
    case KeyKind::End:
        view.cursor = view.draft.size();
        return true;
    default:
        return false;
    }
}

// Lists

void clampList(ControlPlace &place) {
    int count = rowCount(*place.control);
    int visible = visibleRows(place);
    place.listRow = std::clamp(place.listRow, 0, std::max(count - 1, 0));
    if (place.listRow < place.listTop) place.listTop = place.listRow;
    if (place.listRow >= place.listTop + visible) place.listTop = place.listRow - visible + 1;
    place.listTop = std::clamp(place.listTop, 0, std::max(count - visible, 0));
}

void clampLists(PanelView &view) {
    for (ControlPlace &place : view.layout.places)
        if (place.control->setup.kind == ControlKind::MultiList) clampList(place);
}

bool listKey(ControlPlace &place, const KeyEvent &key) {
    int count = rowCount(*place.control);
    switch (key.kind) {
    case KeyKind::Up:
        if (place.listRow <= 0) return false;
        --place.listRow;
        return true;
    case KeyKind::Down:
        if (place.listRow >= count - 1) return false;
        ++place.listRow;
        return true;
    case KeyKind::Home:
        place.listRow = 0;
        return true;
    case KeyKind::End:
        place.listRow = count - 1;
        return true;
    default:
        return false;
    }
}

// A click in the check column's middle, as the user's Space on a row.
void switchRow(ControlPlace &place) {
    ToolkitControl &list = *place.control;
    if (rowCount(list) > 0) clickRow(list, place.listRow, columnWidth(list, 0) / 2);
}

// The popup list

struct DropBox {
    int top; // its top border; entries from the row below
    int left;
    int width; // inside the borders
    int visible;
};

DropBox dropBox(const PanelView &view) {
    const ControlPlace &place = *focusedPlace(view);
    const ToolkitControl &control = *place.control;
    int count = entryCount(control);
    int widest = 0;
    for (int i = 0; i < count; ++i)
        widest = std::max(widest, displayWidth(shown(entryText(control, i))));
    DropBox box;
    box.top = innerTop(view) + place.row + 1;
    box.left = innerLeft(view) + place.fieldColumn;
    box.width = std::max(place.fieldWidth - 2, widest + 2);
    // Leave the message and help lines free.
    int room = view.screenRows - 2 - box.top - 2;
    box.visible = std::min(count, std::max(room, 1));
    return box;
}

void scrollDrop(PanelView &view) {
    int visible = dropBox(view).visible;
    if (view.dropEntry < view.dropTop) view.dropTop = view.dropEntry;
    if (view.dropEntry >= view.dropTop + visible) view.dropTop = view.dropEntry - visible + 1;
}

void openDrop(PanelView &view) {
    const ToolkitControl &control = *focusedPlace(view)->control;
    int count = entryCount(control);
    if (count == 0) {
        view.message = "there is nothing to pick";
        return;
    }
    view.dropEntry = control.value >= 0 && control.value < count ? control.value : 0;
    view.dropTop = 0;
    scrollDrop(view);
}

ViewResult pickDropped(PanelView &view, int entry) {
    view.dropEntry = -1;
    pickItem(*focusedPlace(view)->control, entry);
    return ViewResult::Open;
}

// Acting on the focus

ViewResult activate(PanelView &view) {
    if (view.focus == placeCount(view)) return commitEdit(view) ? ViewResult::Ok : ViewResult::Open;
    if (view.focus == placeCount(view) + 1) return ViewResult::Cancel;
    ControlPlace &place = *focusedPlace(view);
    ToolkitControl &control = *place.control;
    switch (control.setup.kind) {
    case ControlKind::Choice: {
        int count = entryCount(control);
        if (count > 0)
            pickItem(control, control.value >= 0 && control.value + 1 < count ? control.value + 1 : 0);
        break;
    }
    case ControlKind::Popup:
    case ControlKind::CustomPopup:
        openDrop(view);
        break;
    case ControlKind::Button:
        pressButton(control);
        break;
    case ControlKind::MultiList:
        switchRow(place);
        break;
    case ControlKind::Edit:
        if (commitEdit(view)) enterEdit(view);
        break;
    }
    return ViewResult::Open;
}

ViewResult clickChoice(ToolkitControl &choice, int offset) {
    int at = 0;
    for (int i = 0; i < int(choice.setup.items.size()); ++i) {
        int width = kChoiceMarkCells + displayWidth(shown(choice.setup.items[size_t(i)]));
        if (offset >= at && offset < at + width) {
            pickItem(choice, i);
            break;
        }
        at += width + 1;
    }
    return ViewResult::Open;
}

// A click at (boxRow, boxColumn) of a list's box, counted from its top left
// corner: the headings report row -1, the rows below the last one past it.
ViewResult clickList(PanelView &view, int index, int boxRow, int boxColumn) {
    ControlPlace &place = view.layout.places[size_t(index)];
    int cell = boxColumn - 1;
    bool inside = cell >= 0 && cell < place.fieldWidth - 2 && boxRow >= 2 && boxRow < 3 + visibleRows(place);
    if (!setFocus(view, index) || !inside) return ViewResult::Open;
    int row = boxRow == 2 ? -1 : place.listTop + boxRow - 3;
    if (row >= 0 && row < rowCount(*place.control)) place.listRow = row;
    clickRow(*place.control, row, pixelOfCell(cell));
    return ViewResult::Open;
}

ViewResult clickAt(PanelView &view, int screenRow, int screenColumn) {
    const PanelLayout &layout = view.layout;
    int row = screenRow - innerTop(view);
    int column = screenColumn - innerLeft(view);
    if (row == layout.buttonRow && column >= layout.okColumn && column < layout.okColumn + kOkCells)
        return commitEdit(view) ? ViewResult::Ok : ViewResult::Open;
    if (row == layout.buttonRow && column >= layout.cancelColumn &&
        column < layout.cancelColumn + kCancelCells)
        return ViewResult::Cancel;
    for (int i = 0; i < placeCount(view); ++i) {
        ControlPlace &place = view.layout.places[size_t(i)];
        ToolkitControl &control = *place.control;
        bool list = control.setup.kind == ControlKind::MultiList;
        if (list && row > place.row && row < place.row + place.height && column >= place.fieldColumn &&
            column < place.fieldColumn + place.fieldWidth)
            return clickList(view, i, row - place.row, column - place.fieldColumn);
        int end = list ? place.column + displayWidth(shown(control.setup.label))
                       : place.fieldColumn + place.fieldWidth;
        if (row != place.row || column < place.column || column >= end) continue;
        if (!setFocus(view, i) || list || column < place.fieldColumn) return ViewResult::Open;
        if (control.setup.kind == ControlKind::Choice)
            return clickChoice(control, column - place.fieldColumn);
        if (control.setup.kind == ControlKind::Button) pressButton(control);
        if (control.setup.kind == ControlKind::Popup || control.setup.kind == ControlKind::CustomPopup)
            openDrop(view);
        return ViewResult::Open;
    }
    return ViewResult::Open;
}

ViewResult panelKey(PanelView &view, const KeyEvent &key) {
    switch (key.kind) {
    case KeyKind::Escape:
        return ViewResult::Cancel;
    case KeyKind::Confirm:
        return commitEdit(view) ? ViewResult::Ok : ViewResult::Open;
    case KeyKind::Tab:
    case KeyKind::BackTab:
        setFocus(view, view.focus + (key.kind == KeyKind::Tab ? 1 : -1));
        return ViewResult::Open;
    case KeyKind::Click:
        return clickAt(view, key.row, key.column);
    case KeyKind::Resize:
        return ViewResult::Open;
    default:
        break;
    }
    if (view.editing && editKey(view, key)) return ViewResult::Open;
    ControlPlace *place = focusedPlace(view);
    if (place && place->control->setup.kind == ControlKind::MultiList && listKey(*place, key))
        return ViewResult::Open;
    switch (key.kind) {
    case KeyKind::Up:
    case KeyKind::Down: {
        int target = targetBeside(view, key.kind == KeyKind::Up);
        if (target >= 0) setFocus(view, target);
        return ViewResult::Open;
    }
    case KeyKind::Left:
    case KeyKind::Right:
        setFocus(view, view.focus + (key.kind == KeyKind::Right ? 1 : -1));
        return ViewResult::Open;
    case KeyKind::Enter:
        return activate(view);
    case KeyKind::Text:
        return key.text == " " ? activate(view) : ViewResult::Open;
    default:
        return ViewResult::Open;
    }
}

ViewResult dropKey(PanelView &view, const KeyEvent &key) {
    int count = entryCount(*focusedPlace(view)->control);
    switch (key.kind) {
    case KeyKind::Up:
    case KeyKind::Down:
    case KeyKind::Home:
    case KeyKind::End: {
        int step = key.kind == KeyKind::Up ? -1 : key.kind == KeyKind::Down ? 1 : 0;
        int entry = key.kind == KeyKind::Home  ? 0
                    : key.kind == KeyKind::End ? count - 1
                                               : view.dropEntry + step;
        view.dropEntry = std::clamp(entry, 0, std::max(count - 1, 0));
        scrollDrop(view);
        return ViewResult::Open;
    }
    case KeyKind::Enter:
        return pickDropped(view, view.dropEntry);
    case KeyKind::Text:
        return key.text == " " ? pickDropped(view, view.dropEntry) : ViewResult::Open;
    case KeyKind::Escape:
        view.dropEntry = -1;
        return ViewResult::Open;
    case KeyKind::Click: {
        DropBox box = dropBox(view);
        bool inside = key.row > box.top && key.row <= box.top + box.visible && key.column > box.left &&
                      key.column <= box.left + box.width;
        if (inside) return pickDropped(view, view.dropTop + key.row - box.top - 1);
        break;
    }
    default:
        break;
    }
    // Anything else closes the list and goes to the panel.
    view.dropEntry = -1;
    return panelKey(view, key);
}

// Drawing

void fill(Canvas &canvas, int row, int column, int cells, CellStyle style = CellStyle::Plain) {
    if (cells > 0) putText(canvas, row, column, std::string(size_t(cells), ' '), style);
}

void drawBox(Canvas &canvas, int top, int left, int width, int height) {
    std::string edge = "+" + std::string(size_t(std::max(width - 2, 0)), '-') + "+";
    putText(canvas, top, left, edge);
    for (int row = top + 1; row < top + height - 1; ++row) {
        putText(canvas, row, left, "|");
        putText(canvas, row, left + width - 1, "|");
    }
    putText(canvas, top + height - 1, left, edge);
}

void drawFrame(Canvas &canvas, const PanelView &view) {
    int width = view.layout.width + 4;
    int height = view.layout.height + 2;
    for (int row = view.top; row < view.top + height; ++row)
        fill(canvas, row, view.left, width);
    drawBox(canvas, view.top, view.left, width, height);
    putText(canvas, view.top, view.left + 2, " " + shown(view.panel->title) + " ", CellStyle::Bold,
            width - 4);
}

void drawChoice(Canvas &canvas, const ToolkitControl &choice, int row, int column, CellStyle style) {
    for (int i = 0; i < int(choice.setup.items.size()); ++i) {
        if (i > 0) column += putText(canvas, row, column, " ");
        std::string item = (choice.value == i ? "(*)" : "( )") + shown(choice.setup.items[size_t(i)]);
        column += putText(canvas, row, column, item, style);
    }
}

void drawEdit(Canvas &canvas, const PanelView &view, const ControlPlace &place, int row, int column,
              bool focused) {
    int cells = place.fieldWidth - 2;
    bool editing = focused && view.editing;
    CellStyle style = focused ? CellStyle::Reverse : CellStyle::Plain;
    std::string text = editing ? view.draft : shown(place.control->text);
    size_t start = 0;
    // Scroll so that the cursor, with one cell after it, is in the field.
    if (editing) {
        while (start < view.cursor &&
               displayWidth(std::string_view(text).substr(start, view.cursor - start)) >= cells)
            start = nextBoundary(text, start);
    }
    putText(canvas, row, column, "[");
    putText(canvas, row, column + 1, fitted(text.substr(start), cells), style);
    putText(canvas, row, column + 1 + cells, "]");
    if (!editing || view.dropEntry >= 0) return;
    canvas.cursorRow = row;
    canvas.cursorColumn =
        column + 1 + displayWidth(std::string_view(text).substr(start, view.cursor - start));
}

// One row of a list's box, row -1 the headings, each cell in the cells
// that its column's pixels fall on.
void drawListRow(Canvas &canvas, const ToolkitControl &list, int listRow, int row, int column, int inner,
                 CellStyle style) {
    fill(canvas, row, column, inner, style);
    int pixel = 0;
    for (int k = 0, columns = columnCount(list); k < columns; ++k) {
        int from = cellOfPixel(pixel);
        pixel += columnWidth(list, k);
        int to = std::min(cellOfPixel(pixel), inner);
        if (to - from > 1)
            putText(canvas, row, column + from + 1, shown(cellText(list, listRow, k)), style, to - from - 1);
    }
}

void drawList(Canvas &canvas, const PanelView &view, const ControlPlace &place, bool focused) {
    const ToolkitControl &list = *place.control;
    int top = innerTop(view) + place.row;
    int left = innerLeft(view) + place.column;
    int inner = place.fieldWidth - 2;
    int visible = visibleRows(place);
    int count = rowCount(list);
    putText(canvas, top, left, shown(list.setup.label), focused ? CellStyle::Reverse : CellStyle::Plain);
    drawBox(canvas, top + 1, left, place.fieldWidth, visible + 3);
    drawListRow(canvas, list, -1, top + 2, left + 1, inner, CellStyle::Bold);
    for (int i = 0; i < visible && place.listTop + i < count; ++i) {
        int row = place.listTop + i;
        CellStyle style = focused && row == place.listRow ? CellStyle::Reverse : CellStyle::Plain;
        drawListRow(canvas, list, row, top + 3 + i, left + 1, inner, style);
    }
    if (count <= visible) return;
    std::string where = " " + std::to_string(place.listTop + 1) + "-" +
                        std::to_string(std::min(place.listTop + visible, count)) + " of " +
                        std::to_string(count) + " ";
    putText(canvas, top + 3 + visible, left + place.fieldWidth - 2 - int(where.size()), where);
}

void drawPlace(Canvas &canvas, const PanelView &view, const ControlPlace &place, bool focused) {
    const ToolkitControl &control = *place.control;
    int row = innerTop(view) + place.row;
    int column = innerLeft(view) + place.fieldColumn;
    CellStyle style = focused ? CellStyle::Reverse : CellStyle::Plain;
    if (control.setup.kind != ControlKind::Button && control.setup.kind != ControlKind::MultiList)
        putText(canvas, row, innerLeft(view) + place.column, shown(control.setup.label));
    switch (control.setup.kind) {
    case ControlKind::Choice:
        drawChoice(canvas, control, row, column, style);
        break;
    case ControlKind::Popup:
    case ControlKind::CustomPopup: {
        std::string text = fitted(shown(entryText(control, control.value)), place.fieldWidth - 4);
        putText(canvas, row, column, "[" + text + " v]", style);
        break;
    }
    case ControlKind::Edit:
        drawEdit(canvas, view, place, row, column, focused);
        break;
    case ControlKind::Button:
        putText(canvas, row, column, "[ " + shown(control.setup.label) + " ]", style);
        break;
    case ControlKind::MultiList:
        drawList(canvas, view, place, focused);
        break;
    }
}

void drawDrop(Canvas &canvas, const PanelView &view) {
    DropBox box = dropBox(view);
    const ToolkitControl &control = *focusedPlace(view)->control;
    drawBox(canvas, box.top, box.left, box.width + 2, box.visible + 2);
    for (int i = 0; i < box.visible; ++i) {
        int entry = view.dropTop + i;
        CellStyle style = entry == view.dropEntry ? CellStyle::Reverse : CellStyle::Plain;
        putText(canvas, box.top + 1 + i, box.left + 1,
                fitted(" " + shown(entryText(control, entry)), box.width), style);
    }
}

void drawView(Canvas &canvas, const PanelView &view) {
    drawFrame(canvas, view);
    for (int i = 0; i < placeCount(view); ++i)
        drawPlace(canvas, view, view.layout.places[size_t(i)], view.focus == i);
    int buttonRow = innerTop(view) + view.layout.buttonRow;
    int left = innerLeft(view);
    bool onOk = view.focus == placeCount(view), onCancel = view.focus == placeCount(view) + 1;
    putText(canvas, buttonRow, left + view.layout.okColumn, "[ OK ]",
            onOk ? CellStyle::Reverse : CellStyle::Plain);
    putText(canvas, buttonRow, left + view.layout.cancelColumn, "[ Cancel ]",
            onCancel ? CellStyle::Reverse : CellStyle::Plain);
    if (view.dropEntry >= 0) drawDrop(canvas, view);
}

} // namespace

void fitView(PanelView &view, int depth, int rows, int columns) {
    std::vector<ControlPlace> before = view.layout.places;
    view.screenRows = rows;
    view.screenColumns = columns;
    // A dialog sits a little below and to the right of the panel under it.
    view.top = depth == 0 ? 0 : 1 + 2 * depth;
    view.left = depth == 0 ? 0 : 4 * depth;
    view.layout = layoutPanel(*view.panel, std::max(columns - 2 * view.left - 4, 1));
    for (size_t i = 0; i < before.size() && i < view.layout.places.size(); ++i) {
        view.layout.places[i].listRow = before[i].listRow;
        view.layout.places[i].listTop = before[i].listTop;
    }
    clampLists(view);
}

void openView(PanelView &view, ToolkitPanel &panel, int depth, int rows, int columns) {
    view = PanelView{};
    view.panel = &panel;
    fitView(view, depth, rows, columns);
    enterEdit(view);
}

ViewResult handleKey(PanelView &view, const KeyEvent &key) {
    view.message.clear();
    ViewResult result = view.dropEntry >= 0 ? dropKey(view, key) : panelKey(view, key);
    // A handler may have rebuilt a list or changed an entry count.
    clampLists(view);
    if (view.dropEntry >= 0 && view.dropEntry >= entryCount(*focusedPlace(view)->control))
        view.dropEntry = -1;
    return result;
}

void drawViews(Canvas &canvas, const std::vector<PanelView *> &views) {
    // Only the panel on top takes keys: its cursor and its lines show.
    for (const PanelView *view : views) {
        canvas.cursorRow = canvas.cursorColumn = -1;
        drawView(canvas, *view);
    }
    if (views.empty()) return;
    const PanelView &top = *views.back();
    const char *help = top.dropEntry >= 0 ? kDropHelp : top.editing ? kEditHelp : kHelp;
    putText(canvas, canvas.rows - 2, 0, top.message, CellStyle::Bold);
    putText(canvas, canvas.rows - 1, 0, help);
}
