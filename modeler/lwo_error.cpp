// What an LwoError says, in words.
#include <string>

#include "modeler/lwo.h"

static std::string idWords(const std::string &id) {
    bool printable = id.size() == 4;
    for (char c : id)
        printable = printable && c >= 0x20 && c <= 0x7E;
    if (printable) return id;
    static const char digits[] = "0123456789ABCDEF";
    std::string hex = "0x";
    for (char c : id) {
        hex += digits[uint8_t(c) >> 4];
        hex += digits[uint8_t(c) & 15];
    }
    return hex;
}

static std::string n(uint64_t value) {
    return std::to_string(value);
}

// The sentence for a fault inside the file; at is " at byte N" of the fault.
static std::string faultWords(const LwoError &e) {
    std::string at = " at byte " + n(e.offset);
    switch (e.fault) {
    case LwoFault::NotForm:
        return "not an LWO2 file: it does not begin with FORM";
    case LwoFault::NotLwo2:
        return "not an LWO2 file: the form type" + at + " is not LWO2";
    case LwoFault::FormSize:
        return "the FORM size " + n(e.value) + at + " does not match the " + n(e.limit) +
               " bytes of the file after it";
    case LwoFault::ChunkHeaderCut:
        return "the chunk header" + at + " is cut off after " + n(e.value) + " bytes";
    case LwoFault::ChunkPastEnd:
        return "the chunk length " + n(e.value) + " runs past the end of the file, " + n(e.limit) +
               " bytes after the header";
    case LwoFault::PadMissing:
        return "the pad byte after the odd-length chunk is missing" + at;
    case LwoFault::SubChunkPastEnd:
        if (e.subChunk.empty()) return "a sub-chunk header" + at + " is cut off by the end of the chunk";
        return "sub-chunk " + idWords(e.subChunk) + at + " runs past its chunk: " + n(e.value) +
               " bytes where " + n(e.limit) + " are left";
    case LwoFault::NameUnterminated:
        return "the name" + at + " has no terminator inside the chunk";
    case LwoFault::ChunkTooShort:
        return "the chunk is too short: " + n(e.value) + " bytes" + at + " where " + n(e.limit) +
               " are needed";
    case LwoFault::PointsSize:
        return "the PNTS size " + n(e.value) + " is not a multiple of 12";
    case LwoFault::NoPoints:
        return "the chunk refers to points, but no PNTS chunk of its layer comes before it";
    case LwoFault::NoPolygons:
        return "the record" + at + " refers to a polygon, but no POLS chunk of its layer comes before it";
    case LwoFault::RecordCut:
        return "the record" + at + " is cut off by the end of the chunk";
    case LwoFault::PointIndex:
        return "point index " + n(e.value) + at + " is beyond the " + n(e.limit) + " points it refers to";
    case LwoFault::PolygonIndex:
        return "polygon index " + n(e.value) + at + " is beyond the " + n(e.limit) + " polygons it refers to";
    case LwoFault::EmptyPolygon:
        return "the polygon" + at + " has no vertices";
    case LwoFault::DimensionMismatch:
        return "dimension " + n(e.value) + at + " differs from the dimension " + n(e.limit) +
               " of an earlier VMAP chunk of the same type and name";
    case LwoFault::TooLarge:
        return "the vertex maps would take more memory than a file of this size warrants (" + n(e.value) +
               " more point slots" + at + " where " + n(e.limit) + " are left)";
    default:
        return "fault" + at;
    }
}

std::string lwoErrorText(const LwoError &error) {
    const std::string &file = error.file;
    switch (error.fault) {
    case LwoFault::None:
        return file + ": no error";
    case LwoFault::CannotOpen:
        return file + ": cannot be read: " + error.reason;
    case LwoFault::CannotWrite:
        return file + ": cannot be written: " + error.reason;
    case LwoFault::CannotEncode:
        return file + ": cannot be written as LWO2: " + error.reason;
    default:
        break;
    }
    std::string where = error.chunk.empty() ? std::string("at byte ") + n(error.chunkOffset)
                                            : idWords(error.chunk) + " chunk at byte " + n(error.chunkOffset);
    return file + ": " + where + ": " + faultWords(error);
}
