// What the dialogs need of the layer: a dimmed main window dims its menu bar, loops that take
// events leave none behind, and text colours reach the screen.
#include <gmock/gmock.h>

#include <QApplication>
#include <QImage>
#include <QWidget>

#include "ui_fixture.h"
#include "ui_operator.h"

namespace sfptest {
namespace {

QWidget* widgetNamed(const char* name) {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* found = window->findChild<QWidget*>(QString::fromLatin1(name))) return found;
    return nullptr;
}

// How many pixels of the widget, as painted, are close to the colour.
int pixelsOf(QWidget* widget, QColor colour) {
    const QImage image = widget->grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - colour.red()) < 40 && std::abs(pixel.green() - colour.green()) < 40 &&
                std::abs(pixel.blue() - colour.blue()) < 40)
                ++count;
        }
    return count;
}

TEST_F(UiLayerTest, ADimmedMainWindowDimsItsMenuBarAndKeepsTheItemsOwnDimming) {
    const int panel = show("menu_window.ui");
    const int menuBar = GetPanelMenuBar(panel);
    ASSERT_GT(menuBar, 0);
    SetMenuBarAttribute(menuBar, "EntryB", UI_ATTR_DIMMED, 1);

    SetPanelAttribute(panel, UI_ATTR_DIMMED, 1);
    EXPECT_EQ(OperateMenuItem(menuBar, "EntryA"), UI_ERR_NOT_OPERABLE);
    EXPECT_FALSE(widgetNamed("menuBar")->isEnabled());
    EXPECT_TRUE(recorder().menuPicks.empty());

    SetPanelAttribute(panel, UI_ATTR_DIMMED, 0);
    EXPECT_EQ(OperateMenuItem(menuBar, "EntryA"), UI_SUCCESS);
    EXPECT_EQ(OperateMenuItem(menuBar, "EntryB"), UI_ERR_NOT_OPERABLE) << "dimmed on its own";
    int dimmed = 0;
    GetPanelAttribute(panel, UI_ATTR_DIMMED, &dimmed);
    EXPECT_EQ(dimmed, 0);
}

TEST_F(UiLayerTest, DiscardUserEventsDropsTheCommitsNoLoopTook) {
    const int panel = show("controls.ui");
    // A double click: two commits arrive in one round of event handling.
    QueueOperatorCommit(panel, "Done");
    QueueOperatorCommit(panel, "Done");
    int from = 0;
    std::string control;
    ASSERT_EQ(GetUserEvent(0, &from, &control), UI_EVENT_COMMIT);
    EXPECT_EQ(DiscardUserEvents(), UI_SUCCESS);
    EXPECT_EQ(GetUserEvent(0, &from, &control), UI_EVENT_NONE)
        << "the second click is not left for a later loop";
}

TEST_F(UiLayerTest, TextColoursAreShownOnScreen) {
    const int panel = show("controls.ui");
    SetCtrlVal(panel, "Message", "WWWWWWWW");
    QWidget* message = widgetNamed("Message");
    ASSERT_NE(message, nullptr);
    message->setMinimumSize(160, 30);
    for (const int colour : {UI_COLOR_RED, UI_COLOR_BLUE}) {
        SetCtrlAttribute(panel, "Message", UI_ATTR_TEXT_COLOR, colour);
        EXPECT_GT(pixelsOf(message, QColor::fromRgb(static_cast<QRgb>(colour))), 10) << std::hex << colour;
    }
}

}  // namespace
}  // namespace sfptest
