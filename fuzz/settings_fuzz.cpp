// Arbitrary bytes as a settings file: the reader must stay inside the bytes,
// and what it reads must write and read back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "module/run_state.h"
#include "settings/settings.h"

static bool sameSettings(const RunState &a, const RunState &b) {
    if (a.sourceToken != b.sourceToken || a.targetToken != b.targetToken || a.direction != b.direction ||
        a.tokenPosition != b.tokenPosition || a.presets.size() != b.presets.size())
        return false;
    for (size_t i = 0; i < a.presets.size(); ++i) {
        const Preset &p = a.presets[i];
        const Preset &q = b.presets[i];
        if (p.name != q.name || p.sourceToken != q.sourceToken || p.targetToken != q.targetToken ||
            p.direction != q.direction || p.tokenPosition != q.tokenPosition)
            return false;
    }
    return true;
}

static bool withinLimits(const std::string &value) {
    return value.size() <= kMaxSettingsValue && value.find('\0') == std::string::npos;
}

static bool valuesWithinLimits(const RunState &state) {
    if (!withinLimits(state.sourceToken) || !withinLimits(state.targetToken)) return false;
    for (const Preset &preset : state.presets)
        if (!withinLimits(preset.name) || !withinLimits(preset.sourceToken) ||
            !withinLimits(preset.targetToken))
            return false;
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    RunState first;
    parseSettings(std::string_view(reinterpret_cast<const char *>(data), size), first);
    if (!valuesWithinLimits(first)) std::abort();
    std::string written = formatSettings(first);
    RunState second;
    parseSettings(written, second);
    if (!sameSettings(first, second) || formatSettings(second) != written) std::abort();
    return 0;
}
