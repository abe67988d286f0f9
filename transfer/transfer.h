#pragma once

#include "host/meshedit.h"

// Point-scan callback: moves, copies or leaves the point's value for each
// pair. userData is the RunState; its edit must be open. Always answers 0.
EDError transferPoint(void *userData, const EDPointInfo *point);
