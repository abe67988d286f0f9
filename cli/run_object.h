// Running the command on one object file: load, run the module with a panel
// driver, report, save.
#pragma once

#include <string>

#include "cli/options.h"
#include "cli/report.h"
#include "modeler/scripted.h"
#include "modeler/toolkit.h"

struct ObjectRun {
    ScriptRun script;         // the panel actions, unless interactive
    bool interactive = false; // the user works the panel at the terminal
    Toolkit toolkit;
};

// Returns an ExitStatus; on kExitUsage, kExitFile and kExitModule error says
// why. The report is filled for kExitDone and kExitMessage.
int runObject(const RunOptions &options, ObjectRun &run, RunReport &report, std::string &error);
