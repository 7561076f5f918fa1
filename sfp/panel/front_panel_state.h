// The front panel's program-wide state: one instance, made at start and kept to the end. Every
// panel of the program reads and updates it.
#pragma once

#include <array>

#include "kq7120.h"

inline constexpr int kChannelControlCount = 16;

struct FrontPanelState {
    ViSession instrHandle = 0;   // open instrument session, 0 for none
    ViInt16 instrConnected = 0;  // 1 while a session is open
    int mainPanel = 0;
    int mainMenuBar = 0;

    // The last chassis scan: per module found, in the order the scan lists them.
    ViInt16 moduleCount = 0;
    std::array<ViInt16, kq7120_MAX_SLOTS_IN_CHASSIS> moduleLogicalAddress{};
    std::array<ViInt16, kq7120_MAX_SLOTS_IN_CHASSIS> moduleSlot{};
    std::array<ViInt16, kq7120_MAX_SLOTS_IN_CHASSIS> moduleModel{};
    std::array<ViInt16, kq7120_MAX_SLOTS_IN_CHASSIS> moduleInterfaceNumber{};
    ViInt16 moduleInterfaceType = kq7120_VXI_CONNECTION;

    ViInt32 selectedModule = 0;  // module last chosen in the connection dialog; -1 after none
    ViInt32 modelNumber = 0;     // model of the first module found at start-up
    ViInt16 channelCount = 16;   // set by the connection dialog

    std::array<const char*, kChannelControlCount> channelControl{};  // channel 1 first
    std::array<ViInt32, kChannelControlCount> channelRange{};        // kept by the range panel
};

FrontPanelState& frontPanel();
