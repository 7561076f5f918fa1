// Fixture for the user-interface layer tests: the test forms, callbacks that record what they get,
// and pop-up capture.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "user_interface.h"

namespace sfptest {

struct ControlEvent {
    int panel = 0;
    std::string control;
    int event = 0;
    int data1 = 0;
    bool operator==(const ControlEvent&) const = default;
};

struct MenuPick {
    int menuBar = 0;
    std::string item;
    int panel = 0;
    bool operator==(const MenuPick&) const = default;
};

// What the recording callbacks saw, and how they answer.
struct Recorder {
    std::vector<ControlEvent> events;
    std::vector<MenuPick> menuPicks;
    std::vector<int> panelClicks;
    std::vector<int> panelCloses;
    int swallowKey = -1;          // key press answered with 1
    int rewriteFrom = -1;         // key press rewritten ...
    int rewriteTo = -1;           // ... to this key
    bool swallowClicks = false;   // left clicks answered with 1
    std::string discardOnCommit;  // control whose commit discards its panel
};
Recorder& recorder();

class UiLayerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Loads a test form as a top-level (or child) panel and displays it.
    int show(const char* form, int parent = 0);
    std::vector<ControlEvent> eventsOf(const std::string& control) const;

private:
    std::vector<int> panels_;
};

}  // namespace sfptest
