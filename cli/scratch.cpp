#include "cli/scratch.h"

#include <cstdlib>
#include <string>

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
    std::error_code failed;
    fs::path base = fs::temp_directory_path(failed);
    if (failed) return;
    std::string pattern = (base / "sorvex-XXXXXX").string();
    if (mkdtemp(pattern.data())) path = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    if (!path.empty()) fs::remove_all(path, ignored);
}
