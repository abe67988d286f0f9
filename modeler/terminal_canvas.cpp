// Cells of a terminal screen and the widths of the texts drawn into them.
#include <cstdint>

#include "modeler/terminal.h"

namespace {

struct Range {
    uint32_t first;
    uint32_t last;
};

// Characters a terminal shows two cells wide: CJK, kana, Hangul, full-width
// forms and the emoji blocks.
const Range kWide[] = {
    {0x1100, 0x115F}, {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},
    {0xA000, 0xA4CF}, {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE30, 0xFE4F},   {0xFF00, 0xFF60},
    {0xFFE0, 0xFFE6}, {0x1F300, 0x1F64F}, {0x1F900, 0x1F9FF}, {0x20000, 0x3FFFD},
};

// The character at text[at]: its code point and its length in bytes. A byte
// that does not begin a well-formed sequence reads as U+FFFD, one byte long.
uint32_t decode(std::string_view text, size_t at, size_t &length) {
    uint8_t lead = uint8_t(text[at]);
    length = 1;
    if (lead < 0x80) return lead;
    size_t extra = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 && lead < 0xE0 ? 1 : 0;
    if (extra == 0 || lead >= 0xF5 || extra > text.size() - at - 1) return 0xFFFD;
    uint32_t code = lead & (0x3F >> extra);
    for (size_t i = 1; i <= extra; ++i) {
        uint8_t next = uint8_t(text[at + i]);
        if ((next & 0xC0) != 0x80) return 0xFFFD;
        code = (code << 6) | (next & 0x3F);
    }
    static const uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0xFFFD;
    length = extra + 1;
    return code;
}

int charWidth(uint32_t code) {
    for (const Range &range : kWide)
        if (code >= range.first && code <= range.last) return 2;
    return 1;
}

bool isControl(uint32_t code) {
    return code < 0x20 || (code >= 0x7F && code < 0xA0);
}

Cell &cellAt(Canvas &canvas, int row, int column) {
    return canvas.cells[size_t(row) * size_t(canvas.columns) + size_t(column)];
}

// Blanks what is left of a wide character that cells [column, column +
// width) cut in half.
void clearHalves(Canvas &canvas, int row, int column, int width) {
    if (cellAt(canvas, row, column).glyph.empty() && column > 0) cellAt(canvas, row, column - 1).glyph = " ";
    int last = column + width - 1;
    if (last + 1 < canvas.columns && cellAt(canvas, row, last + 1).glyph.empty())
        cellAt(canvas, row, last + 1).glyph = " ";
}

} // namespace

int displayWidth(std::string_view utf8) {
    int width = 0;
    for (size_t at = 0, length = 0; at < utf8.size(); at += length)
        width += charWidth(decode(utf8, at, length));
    return width;
}

Canvas makeCanvas(int rows, int columns) {
    Canvas canvas;
    canvas.rows = rows > 0 ? rows : 0;
    canvas.columns = columns > 0 ? columns : 0;
    canvas.cells.resize(size_t(canvas.rows) * size_t(canvas.columns));
    return canvas;
}

int putText(Canvas &canvas, int row, int column, std::string_view utf8, CellStyle style, int maxCells) {
    if (row < 0 || row >= canvas.rows || column < 0) return 0;
    int written = 0;
    for (size_t at = 0, length = 0; at < utf8.size(); at += length) {
        uint32_t code = decode(utf8, at, length);
        int width = charWidth(code);
        int where = column + written;
        if (written + width > maxCells || where + width > canvas.columns) break;
        clearHalves(canvas, row, where, width);
        Cell &cell = cellAt(canvas, row, where);
        cell.glyph = isControl(code)  ? "?"
                     : code == 0xFFFD ? "\xEF\xBF\xBD"
                                      : std::string(utf8.substr(at, length));
        cell.style = style;
        if (width == 2) cellAt(canvas, row, where + 1) = Cell{"", style};
        written += width;
    }
    return written;
}

std::string canvasLine(const Canvas &canvas, int row) {
    if (row < 0 || row >= canvas.rows) return "";
    std::string line;
    for (int column = 0; column < canvas.columns; ++column)
        line += canvas.cells[size_t(row) * size_t(canvas.columns) + size_t(column)].glyph;
    size_t end = line.find_last_not_of(' ');
    return end == std::string::npos ? "" : line.substr(0, end + 1);
}
