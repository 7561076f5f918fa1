// Run-time services: blocking delay, beep, file size.
#pragma once

// Blocks for the given seconds (nothing for zero, negative or not-a-number). Exported under its
// plain name, like MessagePopup.
extern "C" __attribute__((visibility("default"))) void Delay(double seconds);
void Beep();
// Beeps since the program started: a beep is the only sign of some refusals, and tests check them.
long long BeepCount();
int GetFileSize(const char* path, long long* size);  // UI_ERR_FILE when the size cannot be read
