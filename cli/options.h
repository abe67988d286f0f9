// The sorvex program's command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

enum ExitStatus {
    kExitDone = 0,    // done or cancelled
    kExitUsage = 1,   // wrong usage
    kExitFile = 2,    // a file could not be read or written, or is not valid
    kExitModule = 3,  // the module could not be loaded or refused to run
    kExitMessage = 4, // the command showed an error message
};

// Options of `sorvex run`. Texts are UTF-8 as given; tokens and names are
// checked to be representable in CP932.
struct RunOptions {
    std::string objectPath;
    std::string outputPath;
    std::optional<int> layer;
    std::string settingsDirectory;
    std::string modulePath;
    std::optional<std::string> kind;      // weight, morph or spot
    std::optional<std::string> preset;    // a stored preset's name
    std::optional<std::string> direction; // neg or pos
    std::optional<std::string> position;  // prefix or suffix
    std::optional<std::string> sourceToken;
    std::optional<std::string> targetToken;
    std::vector<std::string> off; // source maps whose pair is switched off
    std::optional<std::string> addPreset;
    bool cancel = false;
    std::string scriptPath;
    bool interactive = false;
    bool dryRun = false;
    bool json = false;
    bool help = false;
};

// Parses the arguments after "run". False with error set on wrong usage.
bool parseRunOptions(const std::vector<std::string> &args, RunOptions &options, std::string &error);

extern const char kRunUsage[];
extern const char kMapsUsage[];
extern const char kDemoUsage[];
extern const char kUsage[];

// $XDG_CONFIG_HOME/sorvex, else ~/.config/sorvex.
std::string defaultSettingsDirectory();

// sorvex.p beside the running program.
std::string defaultModulePath();

// The folder the running program lives in.
std::string programDirectory();
