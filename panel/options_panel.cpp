// Placeholder until the options panel is built: no panel can be shown.
#include "panel/panel.h"

int runOptionsPanel(RunState &, GlobalFunc) {
    return 0;
}
