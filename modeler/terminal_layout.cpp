// Where the controls of a panel go in a terminal: lines by y, cells by x.
#include <algorithm>

#include "modeler/cp932.h"
#include "modeler/terminal.h"

namespace {

const int kPixelsPerLine = 25;
const int kGap = 2;           // cells between two controls on a line
const int kEditCells = 16;    // an edit's field before it widens into free room
const int kMinimumField = 4;  // the narrowest popup or edit text
const int kButtonsWidth = 18; // "[ OK ]  [ Cancel ]"
const int kTitleMargin = 6;   // the frame's corner and dashes around the title

int labelCells(const ToolkitControl &control) {
    return control.setup.label.empty() ? 0 : displayWidth(cp932ToDisplay(control.setup.label)) + 1;
}

int widestItem(const ToolkitControl &control) {
    int widest = 0;
    for (const std::string &item : control.setup.items)
        widest = std::max(widest, displayWidth(cp932ToDisplay(item)));
    return widest;
}

int choiceCells(const ToolkitControl &control) {
    int cells = 0;
    for (const std::string &item : control.setup.items)
        cells += (cells > 0 ? 1 : 0) + kChoiceMarkCells + displayWidth(cp932ToDisplay(item));
    return cells;
}

int visibleRows(const ToolkitControl &list) {
    return std::max(list.setup.visibleRows, 1);
}

// The cells of a field as first laid out; edits may widen later.
int fieldCells(const ToolkitControl &control) {
    switch (control.setup.kind) {
    case ControlKind::Choice:
        return choiceCells(control);
    case ControlKind::Popup:
        return std::max({control.setup.width / kPixelsPerCell, widestItem(control), kMinimumField}) + 4;
    case ControlKind::CustomPopup:
        return std::max(control.setup.width / kPixelsPerCell, kMinimumField) + 4;
    case ControlKind::Edit:
        return std::clamp(control.setup.width, kMinimumField, kEditCells) + 2;
    case ControlKind::Button:
        return displayWidth(cp932ToDisplay(control.setup.label)) + 4;
    case ControlKind::MultiList:
        return listInnerCells(control) + 2;
    }
    return 0;
}

int band(const ToolkitControl &control) {
    return (std::max(control.y, 0) + kPixelsPerLine / 2) / kPixelsPerLine;
}

int placeEnd(const ControlPlace &place) {
    if (place.control->setup.kind == ControlKind::MultiList)
        return place.column + std::max(labelCells(*place.control), place.fieldWidth);
    return place.fieldColumn + place.fieldWidth;
}

// Lays out one line's places from column x / 8, each at least kGap after
// the one before it.
int placeLine(std::vector<ControlPlace> &places, size_t first, size_t end, int row) {
    int height = 1;
    int previousEnd = -kGap;
    for (size_t i = first; i < end; ++i) {
        ControlPlace &place = places[i];
        const ToolkitControl &control = *place.control;
        place.row = row;
        place.column = std::max(std::max(control.x, 0) / kPixelsPerCell, previousEnd + kGap);
        place.fieldWidth = fieldCells(control);
        place.fieldColumn = place.column;
        if (control.setup.kind == ControlKind::MultiList)
            place.height = visibleRows(control) + 4;
        else if (control.setup.kind != ControlKind::Button)
            place.fieldColumn += labelCells(control);
        previousEnd = placeEnd(place);
        height = std::max(height, place.height);
    }
    return height;
}

// Widens each edit of the line into the room before the next control (or
// the panel's edge), up to the width in characters it was made with.
void widenEdits(std::vector<ControlPlace> &places, size_t first, size_t end, int width) {
    for (size_t i = first; i < end; ++i) {
        ControlPlace &place = places[i];
        if (place.control->setup.kind != ControlKind::Edit) continue;
        int limit = i + 1 < end ? places[i + 1].column - kGap : width;
        int wanted = std::max(place.control->setup.width, kMinimumField) + 2;
        place.fieldWidth = std::max(place.fieldWidth, std::min(wanted, limit - place.fieldColumn));
    }
}

} // namespace

int cellOfPixel(int pixel) {
    return pixel <= kPixelsPerCell / 2 ? 0
                                       : (pixel - kPixelsPerCell / 2 + kPixelsPerCell - 1) / kPixelsPerCell;
}

int pixelOfCell(int cell) {
    return cell * kPixelsPerCell + kPixelsPerCell / 2;
}

int listInnerCells(const ToolkitControl &list) {
    int pixels = 0;
    for (int column = 0, columns = columnCount(list); column < columns; ++column)
        pixels += columnWidth(list, column);
    return std::max(cellOfPixel(std::max(pixels, list.setup.width)), 1);
}

PanelLayout layoutPanel(ToolkitPanel &panel, int width) {
    PanelLayout layout;
    for (auto &control : panel.controls) {
        ControlPlace place;
        place.control = control.get();
        layout.places.push_back(place);
    }
    std::stable_sort(layout.places.begin(), layout.places.end(),
                     [](const ControlPlace &a, const ControlPlace &b) {
                         int bandA = band(*a.control), bandB = band(*b.control);
                         return bandA != bandB ? bandA < bandB : a.control->x < b.control->x;
                     });
    int row = 0;
    for (size_t first = 0; first < layout.places.size();) {
        size_t end = first + 1;
        while (end < layout.places.size() &&
               band(*layout.places[end].control) == band(*layout.places[first].control))
            ++end;
        row += placeLine(layout.places, first, end, row);
        widenEdits(layout.places, first, end, width);
        first = end;
    }
    layout.width = std::max(kButtonsWidth, displayWidth(cp932ToDisplay(panel.title)) + kTitleMargin);
    for (const ControlPlace &place : layout.places)
        layout.width = std::max(layout.width, placeEnd(place));
    layout.buttonRow = row > 0 ? row + 1 : 0;
    layout.height = layout.buttonRow + 1;
    layout.cancelColumn = layout.width - kCancelCells;
    layout.okColumn = layout.cancelColumn - kGap - kOkCells;
    return layout;
}
