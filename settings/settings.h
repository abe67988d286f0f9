// The settings file "sorvex.cfg.txt" in the host's settings directory: the
// last confirmed settings and the presets.
//
// One value a line: source token, target token, direction (-1/+1), token
// position, then five lines a preset (name, source token, target token,
// direction index, token position). A value that is empty, holds whitespace
// or begins with '"' is written in double quotes with \" and \\ escapes;
// every other value is written as it is.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

struct RunState;

// The longest value a field holds, as a 260-byte text buffer does.
constexpr size_t kMaxSettingsValue = 259;

// Fills sourceToken, targetToken, direction and tokenPosition, and appends
// the stored presets. Defaults when there is no service, directory or file.
void loadSettings(RunState &state);

// Writes the settings and every preset. Writes nothing without the service
// or the directory; a failed write leaves the previous file as it was.
void saveSettings(RunState &state);

// Reads settings from the bytes of a file; safe for any bytes. A value is cut
// to kMaxSettingsValue bytes and at a NUL byte, the rest of its word
// skipped. A missing or non-numeric number takes its default, a missing
// string too; a preset cut short by the end is dropped.
void parseSettings(std::string_view bytes, RunState &state);

// The bytes of the file for the state's settings and presets.
std::string formatSettings(const RunState &state);

// The file's path in directory; empty when there is no directory.
std::string settingsPath(const char *directory);
