#include "blocking_delay.h"

#include <chrono>
#include <thread>
#include <utility>

namespace kq7120 {
namespace {

double& waitScale() {
    static double factor = 1.0;
    return factor;
}

std::function<void(double)>& waitObserver() {
    static std::function<void(double)> observer;
    return observer;
}

}  // namespace

void waitSeconds(double seconds) {
    if (waitObserver()) {
        waitObserver()(seconds);
        return;
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds * waitScale()));
}

void scaleWaitsForTests(double factor) { waitScale() = factor; }

void observeWaitsForTests(std::function<void(double seconds)> observer) {
    waitObserver() = std::move(observer);
}

}  // namespace kq7120
