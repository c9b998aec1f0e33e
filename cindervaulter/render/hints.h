// What the playfield tells a newcomer over the Parts' drawing: the keys on the first levels, and
// whether the exit is open when it is touched or opens.
#pragma once

void DrawPlayHints();
