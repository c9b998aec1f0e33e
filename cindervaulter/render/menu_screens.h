// The menu screens: the rope scene as lines and the texts of the current menu page, in screen
// pixels over the frame the render procedure has cleared.
#pragma once

// Every constraint of MenuWorld as a white line, the box's never-enforced edges included.
void DrawMenuWorld();
// One menu frame: the scene, then the page's texts; the colour is white afterwards.
void DrawMenuScreen();
