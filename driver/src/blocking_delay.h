// The driver's fixed waits (the self-test's 5 s). They block the calling thread.
#pragma once

namespace kq7120 {

void waitSeconds(double seconds);

// Every later wait lasts `factor` times as long; 1 restores real time. Lets tests keep the suite fast.
void scaleWaitsForTests(double factor);

}  // namespace kq7120
