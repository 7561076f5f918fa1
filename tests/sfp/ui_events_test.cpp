// Events as callbacks receive them: commits, value changes, key presses, clicks, closing, menus,
// and the event loop.
#include <gmock/gmock.h>

#include <QTimer>
#include <algorithm>
#include <functional>

#include "ui_fixture.h"
#include "ui_operator.h"

namespace sfptest {
namespace {

using ::testing::ElementsAre;

std::vector<int> codesOf(const std::vector<ControlEvent>& events, bool withKeys = false) {
    std::vector<int> codes;
    for (const ControlEvent& event : events)
        if (withKeys || event.event != UI_EVENT_KEYPRESS) codes.push_back(event.event);
    return codes;
}

TEST_F(UiLayerTest, OperatorActionsGiveTheirEventCodes) {
    struct Case {
        const char* what;
        const char* control;
        std::function<int(int)> act;
        std::vector<int> events;
    };
    const Case cases[] = {
        {"command button", "Apply", [](int p) { return OperateCommit(p, "Apply"); }, {UI_EVENT_COMMIT}},
        {"switch",
         "Switch",
         [](int p) { return OperateCommit(p, "Switch"); },
         {UI_EVENT_VAL_CHANGED, UI_EVENT_COMMIT}},
        {"toggle button",
         "Toggle",
         [](int p) { return OperateCommit(p, "Toggle"); },
         {UI_EVENT_VAL_CHANGED, UI_EVENT_COMMIT}},
        {"numeric, new value",
         "Number",
         [](int p) { return OperateEnterValue(p, "Number", "2.5"); },
         {UI_EVENT_VAL_CHANGED, UI_EVENT_COMMIT}},
        {"numeric, Enter on the same value",
         "Number",
         [](int p) { return OperateCommit(p, "Number"); },
         {UI_EVENT_COMMIT}},
        {"text entry, Enter", "Name", [](int p) { return OperateCommit(p, "Name"); }, {UI_EVENT_COMMIT}},
        {"ring, pick",
         "Mode",
         [](int p) { return OperateSelect(p, "Mode", 2); },
         {UI_EVENT_VAL_CHANGED, UI_EVENT_COMMIT}},
        {"list box, move",
         "Choices",
         [](int p) { return OperateSelect(p, "Choices", 1); },
         {UI_EVENT_VAL_CHANGED}},
        {"list box, move and activate",
         "Choices",
         [](int p) { return OperateSelect(p, "Choices", 0) | OperateCommit(p, "Choices"); },
         {UI_EVENT_VAL_CHANGED, UI_EVENT_COMMIT}},
    };
    for (const Case& c : cases) {
        recorder().events.clear();
        const int panel = show("controls.ui");
        EXPECT_EQ(c.act(panel), UI_SUCCESS) << c.what;
        EXPECT_EQ(codesOf(eventsOf(c.control)), c.events) << c.what;
        for (const ControlEvent& event : recorder().events) EXPECT_EQ(event.panel, panel) << c.what;
    }
}

TEST_F(UiLayerTest, ValuesWrittenByTheProgramRaiseNoEvents) {
    const int panel = show("controls.ui");
    SetCtrlVal(panel, "Number", 3.0);
    SetCtrlVal(panel, "Name", "x");
    SetCtrlVal(panel, "Switch", 1);
    SetCtrlVal(panel, "Mode", 1);
    SetCtrlIndex(panel, "Choices", 1);
    SetCtrlAttribute(panel, "Number", UI_ATTR_MAX_VALUE, 2.0);
    EXPECT_TRUE(recorder().events.empty());
}

TEST_F(UiLayerTest, TypedValuesReachTheControlThroughKeyEvents) {
    const int panel = show("controls.ui");
    ASSERT_EQ(OperateEnterValue(panel, "Number", "-4.25"), UI_SUCCESS);
    double value = 0.0;
    GetCtrlVal(panel, "Number", &value);
    EXPECT_DOUBLE_EQ(value, -4.25);
    EXPECT_THAT(codesOf(eventsOf("Number"), true),
                ElementsAre(UI_EVENT_KEYPRESS, UI_EVENT_KEYPRESS, UI_EVENT_KEYPRESS, UI_EVENT_KEYPRESS,
                            UI_EVENT_KEYPRESS, UI_EVENT_KEYPRESS, UI_EVENT_VAL_CHANGED, UI_EVENT_COMMIT));
    EXPECT_EQ(eventsOf("Number")[0].data1, '-');
    EXPECT_EQ(eventsOf("Number")[5].data1, UI_KEY_ENTER);
}

TEST_F(UiLayerTest, KeyPressesCarryTheCharacterOrTheVirtualKey) {
    const int panel = show("controls.ui");
    const int keys[] = {'a',         '*',         0xE9,       UI_KEY_BACKSPACE,
                        UI_KEY_LEFT, UI_KEY_HOME, UI_KEY_ESC, UI_KEY_CONTROL_MODIFIER | 'V'};
    for (const int key : keys) OperateKey(panel, "Name", key);
    std::vector<int> received;
    for (const ControlEvent& event : eventsOf("Name"))
        if (event.event == UI_EVENT_KEYPRESS) received.push_back(event.data1);
    EXPECT_THAT(received, ElementsAre('a', '*', 0xE9, UI_KEY_BACKSPACE, UI_KEY_LEFT, UI_KEY_HOME, UI_KEY_ESC,
                                      UI_KEY_CONTROL_MODIFIER | 'V'));
}

TEST_F(UiLayerTest, ACallbackSwallowsOrRewritesAKey) {
    const int panel = show("controls.ui");
    SetCtrlVal(panel, "Name", "");
    recorder().swallowKey = 'x';
    recorder().rewriteFrom = 'k';
    recorder().rewriteTo = '*';
    for (const int key : {int{'a'}, int{'x'}, int{'k'}, int{'b'}, UI_KEY_BACKSPACE, int{'k'}})
        OperateKey(panel, "Name", key);
    std::string text;
    GetCtrlVal(panel, "Name", &text);
    EXPECT_EQ(text, "a**");
    // The rewritten key reaches the control without a second key event.
    const auto events = eventsOf("Name");
    EXPECT_EQ(std::count_if(events.begin(), events.end(),
                            [](const ControlEvent& e) { return e.event == UI_EVENT_KEYPRESS; }),
              6);
}

TEST_F(UiLayerTest, ControlsWithoutCallbackStillTakeKeys) {
    const int panel = show("controls.ui");
    OperateEnterValue(panel, "Count", "42");
    int count = 0;
    GetCtrlVal(panel, "Count", &count);
    EXPECT_EQ(count, 42);
    EXPECT_TRUE(eventsOf("Count").empty());
}

TEST_F(UiLayerTest, ClicksReachTheControlAndMayBeSwallowed) {
    const int panel = show("controls.ui");
    OperateClick(panel, "Apply");
    EXPECT_THAT(codesOf(eventsOf("Apply")), ElementsAre(UI_EVENT_LEFT_CLICK, UI_EVENT_COMMIT));

    recorder().events.clear();
    recorder().swallowClicks = true;
    OperateClick(panel, "Apply");
    EXPECT_THAT(codesOf(eventsOf("Apply")), ElementsAre(UI_EVENT_LEFT_CLICK));

    recorder().events.clear();
    recorder().swallowClicks = false;
    OperateDoubleClick(panel, "Name");
    EXPECT_THAT(codesOf(eventsOf("Name")), ElementsAre(UI_EVENT_LEFT_CLICK, UI_EVENT_LEFT_DOUBLE_CLICK));
}

TEST_F(UiLayerTest, APanelCallbackGetsOneLeftClickAnywhereOnThePanel) {
    const int panel = show("clickable.ui");
    ASSERT_EQ(OperateClick(panel, nullptr), UI_SUCCESS);
    ASSERT_EQ(OperateClick(panel, "Caption"), UI_SUCCESS);
    EXPECT_THAT(recorder().panelClicks, ElementsAre(panel, panel));
}

TEST_F(UiLayerTest, TheCloseBoxCommitsTheCloseControlAndOtherwiseDoesNothing) {
    const int panel = show("controls.ui");
    OperateClosePanel(panel);
    int visible = 0;
    GetPanelAttribute(panel, UI_ATTR_VISIBLE, &visible);
    EXPECT_EQ(visible, 1);
    EXPECT_TRUE(recorder().events.empty());

    ASSERT_EQ(SetPanelAttribute(panel, UI_ATTR_CLOSE_CTRL, "Apply"), UI_SUCCESS);
    OperateClosePanel(panel);
    GetPanelAttribute(panel, UI_ATTR_VISIBLE, &visible);
    EXPECT_EQ(visible, 1);
    EXPECT_THAT(codesOf(eventsOf("Apply")), ElementsAre(UI_EVENT_COMMIT));
}

TEST_F(UiLayerTest, EscOnAChildPanelCommitsItsCloseControl) {
    const int parent = show("clickable.ui");
    const int child = show("controls.ui", parent);
    SetPanelAttribute(child, UI_ATTR_CLOSE_CTRL, "Apply");
    OperateKey(child, "Message", UI_KEY_ESC);
    EXPECT_THAT(codesOf(eventsOf("Apply")), ElementsAre(UI_EVENT_COMMIT));
}

TEST_F(UiLayerTest, WithoutACloseControlThePanelCallbackIsToldOfClosing) {
    const int parent = show("controls.ui");
    const int child = show("clickable.ui", parent);
    OperateClosePanel(child);
    OperateKey(child, "Caption", UI_KEY_ESC);
    EXPECT_THAT(recorder().panelCloses, ElementsAre(child, child));
    EXPECT_TRUE(recorder().panelClicks.empty());
}

TEST_F(UiLayerTest, DimmedControlsCannotBeOperated) {
    const int panel = show("controls.ui");
    SetCtrlAttribute(panel, "Apply", UI_ATTR_DIMMED, 1);
    EXPECT_EQ(OperateCommit(panel, "Apply"), UI_ERR_NOT_OPERABLE);
    SetPanelAttribute(panel, UI_ATTR_DIMMED, 1);
    EXPECT_EQ(OperateCommit(panel, "Name"), UI_ERR_NOT_OPERABLE);
    SetPanelAttribute(panel, UI_ATTR_DIMMED, 0);
    EXPECT_EQ(OperateCommit(panel, "Name"), UI_SUCCESS);
    // Undimming the panel keeps a control's own dimming.
    EXPECT_EQ(OperateCommit(panel, "Apply"), UI_ERR_NOT_OPERABLE);
    EXPECT_TRUE(eventsOf("Apply").empty());
}

TEST_F(UiLayerTest, MenuItemsCallTheirCallbackAndDimWithoutTheirPanel) {
    const int panel = show("menu_window.ui");
    const int menuBar = GetPanelMenuBar(panel);
    ASSERT_GT(menuBar, 0);
    EXPECT_EQ(HasMenuItem(menuBar, "EntryA"), 1);
    EXPECT_EQ(HasMenuItem(menuBar, "NoSuchEntry"), 0);

    ASSERT_EQ(OperateMenuItem(menuBar, "EntryA"), UI_SUCCESS);
    EXPECT_THAT(recorder().menuPicks, ElementsAre(MenuPick{menuBar, "EntryA", panel}));

    // A dimmed panel dims its menu bar too; items dim one by one or by whole menu.
    SetPanelAttribute(panel, UI_ATTR_DIMMED, 1);
    EXPECT_EQ(OperateCommit(panel, "Apply"), UI_ERR_NOT_OPERABLE);
    EXPECT_EQ(OperateMenuItem(menuBar, "EntryA"), UI_ERR_NOT_OPERABLE);
    SetPanelAttribute(panel, UI_ATTR_DIMMED, 0);
    EXPECT_EQ(OperateMenuItem(menuBar, "EntryA"), UI_SUCCESS);
    SetMenuBarAttribute(menuBar, "EntryA", UI_ATTR_DIMMED, 1);
    int dimmed = 0;
    GetMenuBarAttribute(menuBar, "EntryA", UI_ATTR_DIMMED, &dimmed);
    EXPECT_EQ(dimmed, 1);
    EXPECT_EQ(OperateMenuItem(menuBar, "EntryA"), UI_ERR_NOT_OPERABLE);
    SetMenuBarAttribute(menuBar, "EntryA", UI_ATTR_DIMMED, 0);
    SetMenuBarAttribute(menuBar, "FileMenu", UI_ATTR_DIMMED, 1);
    EXPECT_EQ(OperateMenuItem(menuBar, "EntryA"), UI_ERR_NOT_OPERABLE);
    EXPECT_EQ(recorder().menuPicks.size(), 2u);

    EXPECT_EQ(GetPanelMenuBar(show("controls.ui")), UI_ERR_INVALID_MENU_BAR);
}

TEST_F(UiLayerTest, GetUserEventHandsOutCommitsWhileCallbacksStillRun) {
    const int panel = show("controls.ui");
    int from = 0;
    std::string control;
    EXPECT_EQ(GetUserEvent(0, &from, &control), UI_EVENT_NONE);

    QueueOperatorCommit(panel, "Done");   // no callback
    QueueOperatorCommit(panel, "Apply");  // with one
    EXPECT_EQ(GetUserEvent(0, &from, &control), UI_EVENT_COMMIT);
    EXPECT_EQ(from, panel);
    EXPECT_EQ(control, "Done");
    EXPECT_EQ(GetUserEvent(0, &from, &control), UI_EVENT_COMMIT);
    EXPECT_EQ(control, "Apply");
    EXPECT_THAT(codesOf(eventsOf("Apply")), ElementsAre(UI_EVENT_COMMIT));
    EXPECT_EQ(GetUserEvent(0, &from, &control), UI_EVENT_NONE);

    QueueOperatorCommit(panel, "Done");
    EXPECT_EQ(GetUserEvent(1, &from, &control), UI_EVENT_COMMIT);
    EXPECT_EQ(control, "Done");
}

TEST_F(UiLayerTest, TheEventLoopRunsUntilQuitAndReturnsItsCode) {
    QTimer::singleShot(0, [] { QuitUserInterface(3); });
    EXPECT_EQ(RunUserInterface(), 3);
    // A quit asked for outside the loop ends the next one at once.
    QuitUserInterface(0);
    EXPECT_EQ(RunUserInterface(), 0);
}

}  // namespace
}  // namespace sfptest
