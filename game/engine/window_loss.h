// A window destroyed by another program (xdotool windowclose): every later X request on it fails,
// and Xlib's default handler would end the process at once, the log cut short.
#pragma once

// On X11, takes such failures (BadWindow, BadDrawable) as the window's loss instead, passing every
// other error on to the handler before it; elsewhere does nothing. Called once the window exists.
void WatchForLostWindow();
// Whether the window was lost since WatchForLostWindow.
bool WindowLost();
