// What the library's own tests reach beyond the public interfaces.
#pragma once

#include "pacing.h"

// The clock of every engine started after this call (the system's steady clock by default).
void SetEngineClock(EngineClock clock);
