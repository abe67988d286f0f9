// The sorvex program's commands.
#pragma once

#include <string>
#include <vector>

int runCommand(const std::vector<std::string> &args);
int mapsCommand(const std::vector<std::string> &args);
int demoCommand(const std::vector<std::string> &args);
