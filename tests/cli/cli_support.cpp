#include "tests/cli/cli_support.h"

#include <sys/wait.h>

#include "tests/support/fixtures.h"
#include "tests/support/lwo_builder.h"
#include "tests/support/paths.h"

static std::string quoted(const std::string &word) {
    std::string text = "'";
    for (char c : word)
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
}

ProgramRun runShell(const std::string &command) {
    TempDir scratch;
    std::string line = command + " >" + scratch.file("out") + " 2>" + scratch.file("err");
    int raw = std::system(line.c_str());
    ProgramRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = readFile(scratch.file("out"));
    run.err = readFile(scratch.file("err"));
    return run;
}

ProgramRun runProgram(const std::vector<std::string> &args, const std::string &dir) {
    std::string command = "cd " + quoted(dir) + " && " + quoted(std::string(kBinaryDir) + "/sorvex");
    for (const std::string &arg : args)
        command += " " + quoted(arg);
    return runShell(command + " </dev/null");
}

std::string figureFile() {
    std::vector<Vec3> points = {{-2, 0, 0}, {-1, 0, 0}, {0, 0, 0}, {1, 0, 0},
                                {2, 0, 0},  {-1, 1, 0}, {0, 1, 0}, {1, 1, 0}};
    return form({
        tagsChunk({"Skin"}),
        layrChunk(1, "Body"),
        pntsChunk(points),
        vmapChunk("WGHT", 1, "LeftArm", {{0, {0.1f}}, {1, {0.2f}}, {2, {0.3f}}, {3, {0.4f}}, {4, {0.5f}}}),
        vmapChunk("WGHT", 1, "LeftLeg", {{1, {0.6f}}, {3, {0.7f}}}),
        vmapChunk("MORF", 3, "LeftSmile", {{1, {1, 2, 3}}, {3, {4, 5, 6}}}),
        polsChunk({{0, 1, 5}, {1, 2, 6, 5}, {2, 3, 7, 6}}),
        ptagChunk("SURF", {{0, 0}, {1, 0}, {2, 0}}),
        layrChunk(2, "Props"),
        pntsChunk({{-1, 0, 0}, {1, 0, 0}, {0, 1, 0}}),
        vmapChunk("WGHT", 1, "LeftHand", {{0, {1}}, {1, {1}}}),
        polsChunk({{0, 1, 2}}),
        ptagChunk("SURF", {{0, 0}}),
        surfChunk("Skin"),
    });
}
