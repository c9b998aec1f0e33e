// The rules of the Game: its modes, obstacles, score and menu.
#pragma once

// True while the world is halted: after a fall into water, or while space is held in Stop mode.
extern bool Stopped;
