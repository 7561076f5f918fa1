#include "blocking_delay.h"

#include <chrono>
#include <thread>

namespace kq7120 {
namespace {

double& waitScale() {
    static double factor = 1.0;
    return factor;
}

}  // namespace

void waitSeconds(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds * waitScale()));
}

void scaleWaitsForTests(double factor) { waitScale() = factor; }

}  // namespace kq7120
