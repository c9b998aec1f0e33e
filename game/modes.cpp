// The rules of the Game.
#include "modes.h"

bool Stopped = false;
