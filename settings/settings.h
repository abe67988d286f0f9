// The settings file "sorvex.cfg.txt" in the host's settings directory: the
// last confirmed settings and the presets.
#pragma once

struct RunState;

// Fills sourceToken, targetToken, direction and tokenPosition, and appends
// the stored presets. Defaults when there is no file or no service.
void loadSettings(RunState &state);

// Writes the settings and every preset; does nothing without the service.
void saveSettings(RunState &state);
