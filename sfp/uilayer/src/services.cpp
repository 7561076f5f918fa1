#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>

#include "ui_codes.h"
#include "ui_services.h"

extern "C" void Delay(double seconds) {
    // Bounded so the conversion to the clock's ticks cannot overflow.
    constexpr double longestDelay = 1.0e6;
    if (std::isfinite(seconds) && seconds > 0.0)
        std::this_thread::sleep_for(std::chrono::duration<double>(std::min(seconds, longestDelay)));
}

namespace {

long long beeps = 0;

}  // namespace

void Beep() {
    ++beeps;
    if (qApp != nullptr) QApplication::beep();
}

long long BeepCount() { return beeps; }

int GetFileSize(const char* path, long long* size) {
    std::error_code error;
    const auto bytes = std::filesystem::file_size(path != nullptr ? path : "", error);
    if (error) return UI_ERR_FILE;
    *size = static_cast<long long>(bytes);
    return UI_SUCCESS;
}
