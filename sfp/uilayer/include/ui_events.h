// The event loop.
#pragma once

#include <string>

// Dispatches events to callbacks until QuitUserInterface; returns the code given there. A quit
// requested while no loop runs makes the next RunUserInterface return at once.
int RunUserInterface();
int QuitUserInterface(int code);

// Takes one commit that happened while it handled events (their callbacks run as usual). With
// `wait` 0 it handles what is pending and returns: UI_EVENT_COMMIT with the panel and control
// filled in, or UI_EVENT_NONE; with `wait` 1 it waits for a commit.
int GetUserEvent(int wait, int* panel, std::string* control);
// Drops the commits that event handling took and no GetUserEvent returned yet: a loop that ends
// calls it so a second click meant for it (a double click on its stop command) cannot end the next.
int DiscardUserEvents();
