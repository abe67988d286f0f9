// Reading and writing control attributes through the two value records the
// panel reuses for every call.
#include <cstring>

#include "panel/panel.h"

PanelReferences panelReferences;
LWPanControlDesc controlDescriptor;

static LWValue intValue;
static LWValue textValue;
static char textBuffer[kTextBufferSize];

intptr_t controlInt(LWControl *control, uint32_t attribute) {
    intValue.intv.type = LWT_INTEGER;
    intValue.intv.value = 0;
    control->get(control, attribute, &intValue);
    return intValue.intv.value;
}

void setControlInt(LWControl *control, uint32_t attribute, intptr_t value) {
    intValue.intv.type = LWT_INTEGER;
    intValue.intv.value = value;
    control->set(control, attribute, &intValue);
}

void setControlPointer(LWControl *control, uint32_t attribute, void *pointer) {
    setControlInt(control, attribute, reinterpret_cast<intptr_t>(pointer));
}

std::string controlText(LWControl *control) {
    textBuffer[0] = '\0';
    textValue.str.type = LWT_STRING;
    textValue.str.buf = textBuffer;
    textValue.str.bufLen = kTextBufferSize;
    control->get(control, CTL_VALUE, &textValue);
    // A toolkit that fills the buffer without a terminator still gives 259 bytes.
    textBuffer[kTextBufferSize - 1] = '\0';
    return textBuffer;
}

static bool isLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

size_t fittingLength(const std::string &text, size_t limit) {
    if (text.size() <= limit) return text.size();
    size_t length = 0;
    while (length < limit) {
        size_t step = isLeadByte(static_cast<unsigned char>(text[length])) ? 2 : 1;
        if (length + step > limit) break;
        length += step;
    }
    return length;
}

void setControlText(LWControl *control, const std::string &text) {
    size_t length = fittingLength(text, kTextBufferSize - 1);
    std::memcpy(textBuffer, text.data(), length);
    textBuffer[length] = '\0';
    textValue.str.type = LWT_STRING;
    textValue.str.buf = textBuffer;
    textValue.str.bufLen = int(length);
    control->set(control, CTL_VALUE, &textValue);
}
