#pragma once

#include <filesystem>

// A temporary folder, removed with everything in it. path is empty when it
// could not be made.
struct ScratchDir {
    std::filesystem::path path;
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;
};
