#pragma once

#include <cstdint>
#include <string>

// One row of the replacement list.
struct MapPair {
    int32_t active = 1; // 0 when the user switched the pair off
    std::string sourceName;
    std::string targetName;
    void *sourceHandle = nullptr; // the host's handle of the source map, kept by the transfer
};
