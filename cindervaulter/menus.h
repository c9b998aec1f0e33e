// The menu screens' state machine: the page shown, the highlighted item, the chosen level, what
// each key does, and the rope scene in MenuWorld whose box glides to the highlighted item.
#pragma once

#include <cstdint>

// Pages of MenuPage; no page has the number 4.
constexpr int32_t PageMain = 0;      // New game, About, Exit
constexpr int32_t PagePause = 1;     // Continue, Restart level, Main menu
constexpr int32_t PageLevel = 2;     // level choice
constexpr int32_t PageAbout = 3;     // about page
constexpr int32_t PageLoadError = 5; // the chosen map cannot be loaded
constexpr int32_t PageEnding = 6;    // every level finished: the set's total time
constexpr int32_t NoSelection = 8;   // MenuSelection when no item is highlighted

extern int32_t MenuPage;
extern int32_t MenuSelection; // the highlighted item 0 to 2 on the main and pause pages
extern int32_t LevelNumber;   // the map to load, from 1; kept across pages and play
extern float MenuCursorY;     // the eased height of the highlight box
// MenuWorld indices of the highlight box's corners: top-left, bottom-left, bottom-right, top-right.
extern int32_t BoxCorners[4];
// The items of the main page (0 to 2) and of the pause page (3 to 5), in English; they are drawn
// through the player's language.
extern const char* const MenuTexts[6];

// Fills MenuWorld with four chains hanging from the screen's corners to the box; once, after
// MenuWorld is set up.
void BuildMenuScene();
// One menu step: the scene, the box easing towards the highlighted item, the key of the step.
void MenuUpdate();
// Answers one key of the current page; 0 is no key.
void MenuKey(int32_t key);
// Carries out the highlighted item, or on the level choice loads the chosen map.
void MenuAction();
// Empties the level and the scene and ends the engine's loop.
void ExitGame();
