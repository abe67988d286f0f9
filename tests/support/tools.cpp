#include "tests/support/tools.h"

#include <array>
#include <cstdio>
#include <cstdlib>

std::string commandOutput(const std::string &command) {
    std::string output;
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe) return output;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        output.append(buffer.data(), n);
    pclose(pipe);
    return output;
}

bool hasAssimp() {
    return std::system("command -v assimp >/dev/null 2>&1") == 0;
}

std::string assimpCounts(const std::string &path) {
    std::string output = commandOutput("assimp info '" + path + "' 2>&1");
    std::string counts;
    for (const char *label : {"Vertices:", "Faces:"}) {
        size_t at = output.find(std::string("\n") + label);
        if (at == std::string::npos) return "";
        counts += output.substr(at + 1, output.find('\n', at + 1) - at - 1) + "\n";
    }
    return counts;
}
