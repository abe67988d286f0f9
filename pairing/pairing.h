// The vertex maps of the selected kind, and the pairs derived from their names.
#pragma once

#include <string>

struct RunState;

// Replaces mapNames with the names of the object's maps of the current kind.
void collectMapNames(RunState &state);

// Replaces pairs with those derived from mapNames and the tokens.
void buildPairs(RunState &state);

// The target name for one map name, or false when the source token does not
// match. Byte comparison, case-sensitive; names of any length.
bool deriveTargetName(const std::string &name, const std::string &sourceToken, const std::string &targetToken,
                      int tokenPosition, std::string &targetName);
