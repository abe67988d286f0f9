// Running the sorvex program as a user would, from a shell.
#pragma once

#include <string>
#include <vector>

struct ProgramRun {
    int status = -1; // exit status; -1 when it did not exit normally
    std::string out;
    std::string err;
};

// Runs build/sorvex with the arguments (each passed as one word) in dir.
ProgramRun runProgram(const std::vector<std::string> &args, const std::string &dir = ".");

// Runs any shell command line, for other tools such as assimp.
ProgramRun runShell(const std::string &command);

// A figure for the program's tests: eight points, two polygons, a surface;
// LeftArm on points at x = -2, -1, 0, 1, 2 (weights 0.1 .. 0.5), LeftLeg on
// x = -1, 1, a morph LeftSmile on x = -1, 1, and a layer 2 with one weight map.
std::string figureFile();
