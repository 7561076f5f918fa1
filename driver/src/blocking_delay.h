// The driver's fixed waits (the self-test's 5 s, the pause between register-mode DAC writes). They
// block the calling thread.
#pragma once

#include <functional>

namespace kq7120 {

void waitSeconds(double seconds);

// Every later wait lasts `factor` times as long; 1 restores real time. Lets tests keep the suite fast.
void scaleWaitsForTests(double factor);

// While set, each wait is handed to `observer` with the length asked for and does not block; an empty
// function restores real waits. Lets tests see the waits a call makes.
void observeWaitsForTests(std::function<void(double seconds)> observer);

}  // namespace kq7120
