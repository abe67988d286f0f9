#include "settings/settings.h"

#include <charconv>
#include <cstdio>
#include <string>
#include <utility>

#include "module/run_state.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

static const char kPathSeparator = '\\';
static const char kLineEnd[] = "\r\n";
#else
static const char kPathSeparator = '/';
static const char kLineEnd[] = "\n";
#endif

static const char kSettingsFile[] = "sorvex.cfg.txt";
static const char kTemporarySuffix[] = ".tmp";

// The bytes the C library's %s takes as separators, independent of locale.
static bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A position in the file's bytes; never moves past end.
struct Cursor {
    const char *at;
    const char *end;
};

// A value being read, held as a 260-byte text buffer would hold it: a NUL
// byte ends it and it keeps at most kMaxSettingsValue bytes. Bytes past
// either limit are read and dropped, so the next field starts after them.
struct Value {
    std::string bytes;
    bool ended = false;
};

static void keep(Value &value, char c) {
    if (c == '\0') value.ended = true;
    if (value.ended || value.bytes.size() == kMaxSettingsValue) return;
    value.bytes.push_back(c);
}

static void readPlain(Cursor &in, Value &value) {
    while (in.at != in.end && !isBlank(*in.at))
        keep(value, *in.at++);
}

// After the opening quote: bytes up to the closing quote, a backslash taking
// the byte after it as it is. An unclosed quote runs to the end.
static void readQuoted(Cursor &in, Value &value) {
    ++in.at;
    while (in.at != in.end) {
        char c = *in.at++;
        if (c == '"') return;
        if (c == '\\') {
            if (in.at == in.end) return;
            c = *in.at++;
        }
        keep(value, c);
    }
}

// The next value; false when only whitespace is left.
static bool readWord(Cursor &in, std::string &word) {
    while (in.at != in.end && isBlank(*in.at))
        ++in.at;
    if (in.at == in.end) return false;
    Value value;
    if (*in.at == '"')
        readQuoted(in, value);
    else
        readPlain(in, value);
    word = std::move(value.bytes);
    return true;
}

// A whole word of optional sign and decimal digits in range; otherwise the
// fallback.
static int32_t toNumber(const std::string &word, int32_t fallback) {
    const char *begin = word.data();
    const char *end = begin + word.size();
    if (begin != end && *begin == '+' && end - begin > 1 && begin[1] != '-') ++begin;
    int32_t number = 0;
    auto result = std::from_chars(begin, end, number);
    if (result.ec != std::errc() || result.ptr != end) return fallback;
    return number;
}

// The next word as a number; false when only whitespace is left.
static bool readNumber(Cursor &in, int32_t &number, int32_t fallback) {
    std::string word;
    bool read = readWord(in, word);
    number = read ? toNumber(word, fallback) : fallback;
    return read;
}

static void applyDefaults(RunState &state) {
    state.sourceToken = kDefaultSourceToken;
    state.targetToken = kDefaultTargetToken;
    state.direction = kDefaultDirection;
    state.tokenPosition = kDefaultTokenPosition;
}

// A whole preset block, or false when the bytes end before its last field.
static bool readPreset(Cursor &in, Preset &preset) {
    return readWord(in, preset.name) && readWord(in, preset.sourceToken) &&
           readWord(in, preset.targetToken) && readNumber(in, preset.direction, 0) &&
           readNumber(in, preset.tokenPosition, 0);
}

void parseSettings(std::string_view bytes, RunState &state) {
    Cursor in = {bytes.data(), bytes.data() + bytes.size()};
    applyDefaults(state);
    // A field the bytes end before keeps the default just applied.
    if (!readWord(in, state.sourceToken) || !readWord(in, state.targetToken) ||
        !readNumber(in, state.direction, kDefaultDirection) ||
        !readNumber(in, state.tokenPosition, kDefaultTokenPosition))
        return;
    for (Preset preset; readPreset(in, preset); preset = Preset())
        state.presets.push_back(preset);
}

static bool needsQuotes(const std::string &value) {
    if (value.empty() || value.front() == '"') return true;
    for (char c : value)
        if (isBlank(c)) return true;
    return false;
}

static void writeValue(std::string &out, const std::string &value) {
    if (!needsQuotes(value)) {
        out += value;
    } else {
        out += '"';
        for (char c : value) {
            if (c == '"' || c == '\\') out += '\\';
            out += c;
        }
        out += '"';
    }
    out += kLineEnd;
}

static void writeNumber(std::string &out, int32_t number) {
    out += std::to_string(number);
    out += kLineEnd;
}

std::string formatSettings(const RunState &state) {
    std::string out;
    writeValue(out, state.sourceToken);
    writeValue(out, state.targetToken);
    writeNumber(out, state.direction);
    writeNumber(out, state.tokenPosition);
    for (const Preset &preset : state.presets) {
        writeValue(out, preset.name);
        writeValue(out, preset.sourceToken);
        writeValue(out, preset.targetToken);
        writeNumber(out, preset.direction);
        writeNumber(out, preset.tokenPosition);
    }
    return out;
}

std::string settingsPath(const char *directory) {
    if (!directory || !*directory) return std::string();
    std::string path = directory;
    path += kPathSeparator;
    path += kSettingsFile;
    return path;
}

// What "Directory Info" answers for "Settings", or null.
static const char *settingsDirectory(const RunState &state) {
    if (!state.global) return nullptr;
    auto directoryOf = reinterpret_cast<LWDirInfoFunc>(state.global(LWDIRINFOFUNC_GLOBAL, 0));
    return directoryOf ? directoryOf("Settings") : nullptr;
}

// The whole file; false when it cannot be opened or read to its end. Read
// as bytes: the parser takes CR LF as whitespace, and a quoted value keeps
// its line breaks exactly.
static bool readBytes(const std::string &path, std::string &bytes) {
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    char chunk[4096];
    size_t count;
    while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, count);
    bool complete = !std::ferror(file);
    std::fclose(file);
    return complete;
}

// Written as bytes with the platform's line ends already in place, so a
// line break inside a quoted value is not turned into CR LF on Windows.
static bool writeBytes(const std::string &path, const std::string &bytes) {
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    written = std::fflush(file) == 0 && written;
    written = std::fclose(file) == 0 && written;
    if (!written) std::remove(path.c_str());
    return written;
}

void loadSettings(RunState &state) {
    std::string path = settingsPath(settingsDirectory(state));
    std::string bytes;
    if (path.empty() || !readBytes(path, bytes)) {
        applyDefaults(state);
        return;
    }
    parseSettings(bytes, state);
}

// Puts source in target's place in one step, replacing target.
static bool replaceFile(const std::string &source, const std::string &target) {
#ifdef _WIN32
    // std::rename does not replace an existing file here; the ANSI call
    // takes the path in the system code page, as fopen does.
    return MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
           0;
#else
    return std::rename(source.c_str(), target.c_str()) == 0;
#endif
}

// The new file is written beside the old one and renamed over it, so a
// write that fails part-way leaves the previous settings in place.
void saveSettings(RunState &state) {
    std::string path = settingsPath(settingsDirectory(state));
    if (path.empty()) return;
    std::string temporary = path + kTemporarySuffix;
    if (!writeBytes(temporary, formatSettings(state))) return;
    if (!replaceFile(temporary, path)) std::remove(temporary.c_str());
}
