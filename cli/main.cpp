// sorvex: runs the Sorvex modeler command on LWO2 object files.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/options.h"

int main(int argc, char **argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    std::string command = args[0];
    args.erase(args.begin());
    if (command == "-h" || command == "--help" || command == "help") {
        std::fputs(kUsage, stdout);
        return kExitDone;
    }
    if (command == "run") return runCommand(args);
    if (command == "maps") return mapsCommand(args);
    if (command == "demo") return demoCommand(args);
    std::fprintf(stderr, "sorvex: unknown command \"%s\"\n\n%s", command.c_str(), kUsage);
    return kExitUsage;
}
