// Every callback of the program, by the name the forms bind it with.
#pragma once

#include <span>

#include "ui_callbacks.h"

std::span<const UiCallback> frontPanelCallbacks();
