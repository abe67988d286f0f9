// LWO2 object files: reading them into an Object and writing it back.
//
// The reader is safe for untrusted input: every length and count is checked
// against the bytes really there before anything is read or allocated. It
// keeps the whole file, so that the writer can put every chunk back byte for
// byte; only the VMAP chunks of maps marked changed are written anew.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "modeler/object.h"

// What was wrong with a file, or with writing one.
enum class LwoFault {
    None,
    CannotOpen,        // the file could not be opened or read
    CannotWrite,       // the file could not be written; the target is as it was
    CannotEncode,      // the object holds something the format cannot hold
    NotForm,           // the file does not begin with a FORM header
    NotLwo2,           // a FORM of another type
    FormSize,          // the FORM size is not the file size less 8
    ChunkHeaderCut,    // fewer bytes left than a chunk header takes
    ChunkPastEnd,      // a chunk runs past the end of the FORM
    PadMissing,        // an odd-length chunk without its pad byte
    SubChunkPastEnd,   // a sub-chunk runs past its chunk
    NameUnterminated,  // a name without its terminator inside the chunk
    ChunkTooShort,     // a chunk too short for its fixed fields
    PointsSize,        // a PNTS size that is not a multiple of 12
    NoPoints,          // point data before any PNTS chunk of its layer
    NoPolygons,        // polygon data before any POLS chunk of its layer
    RecordCut,         // a record cut off by the end of its chunk
    PointIndex,        // a point index beyond the points it refers to
    PolygonIndex,      // a polygon index beyond the polygons it refers to
    EmptyPolygon,      // a polygon of no vertices
    DimensionMismatch, // two VMAP chunks of one map with different dimensions
    TooLarge,          // maps that would take far more memory than the file's size warrants
};

struct LwoError {
    LwoFault fault = LwoFault::None;
    std::string file;     // the path as given
    std::string chunk;    // ID of the chunk at fault (4 bytes), or empty
    std::string subChunk; // ID of the sub-chunk at fault, or empty
    uint64_t chunkOffset = 0;
    uint64_t offset = 0; // byte of the file where the fault lies
    uint64_t value = 0;  // the offending number, for the message
    uint64_t limit = 0;  // what it should have been within
    std::string reason;  // for CannotOpen, CannotWrite and CannotEncode
};

// One line saying what was wrong, naming the file, the chunk and the byte.
std::string lwoErrorText(const LwoError &error);

// Reads a file. On failure, object is left empty and error says why.
bool readLwo(const std::string &path, Object &object, LwoError &error);

// Reads a file's bytes; name is what error.file says.
bool readLwoBytes(std::string_view bytes, const std::string &name, Object &object, LwoError &error);

// The file bytes for an object: its source with the changed maps' VMAP chunks
// written anew, or, for an object made in memory, a LAYR, PNTS and VMAPs a
// layer. Without changes an object read from a file gives its bytes back.
bool lwoBytes(const Object &object, std::string &bytes, LwoError &error);

// Writes lwoBytes to path atomically: a temporary file beside it, flushed,
// then renamed over it. On failure the target is as it was.
bool writeLwo(const Object &object, const std::string &path, LwoError &error);
