// Other programs the tests call: nm, assimp.
#pragma once

#include <string>

// What the shell command printed on standard output.
std::string commandOutput(const std::string &command);

bool hasAssimp();

// The "Vertices:" and "Faces:" lines of `assimp info` for the file, or empty
// when assimp could not load it.
std::string assimpCounts(const std::string &path);
