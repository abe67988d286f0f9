#pragma once

#include <cstdint>
#include <string>

// A named set of settings. direction is the choice index: 0 for
// destination x < 0, 1 for destination x > 0.
struct Preset {
    int32_t direction = 0;
    int32_t tokenPosition = 0;
    std::string sourceToken;
    std::string targetToken;
    std::string name;
};
