// The command console: queries and commands, the error history, the command history.
#include <gmock/gmock.h>

#include <QApplication>
#include <QFontInfo>
#include <QWidget>
#include <string>

#include "command_console.h"
#include "dialog_test_support.h"
#include "front_panel_fixture.h"
#include "front_panel_state.h"
#include "kqvisa/fault_injection.h"
#include "panel_layout.h"
#include "ui_operator.h"
#include "ui_popup_capture.h"

namespace sfptest {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ConsoleTest : public FrontPanelTest {
protected:
    int open() {
        EXPECT_EQ(start(), VI_SUCCESS);
        EXPECT_EQ(OperateCommit(mainPanel(), "ConsoleButton"), UI_SUCCESS);
        return consolePanel();
    }
    static void send(int console, const char* command) {
        ASSERT_EQ(OperateEnterValue(console, console::kCommandText, command), UI_SUCCESS) << command;
    }
};

TEST_F(ConsoleTest, AQueryShowsItsReplyAndACommandDimsTheReplyBox) {
    const int console = open();
    ASSERT_GT(console, 0);
    EXPECT_EQ(panelDimmed(mainPanel()), 1);
    EXPECT_EQ(menuBarDimmed(), 1);

    send(console, "*IDN?");
    const auto reply = textBoxLines(console, console::kResponseBox);
    ASSERT_EQ(reply.size(), 1u);
    EXPECT_THAT(reply[0], testing::MatchesRegex("[^,]+,KQ7120,[^\n]+"));
    EXPECT_EQ(attribute(console, console::kResponseBox, UI_ATTR_DIMMED), 0);
    EXPECT_THAT(commandsSent(), ElementsAre("*IDN?", "SYST:ERR?"));

    kqvisa::clearTrace();
    SetCtrlVal(console, console::kCommandText, "*RST");
    OperateCommit(console, console::kSendButton);
    EXPECT_THAT(textBoxLines(console, console::kResponseBox), IsEmpty());
    EXPECT_EQ(attribute(console, console::kResponseBox, UI_ATTR_DIMMED), 1);
    EXPECT_THAT(commandsSent(), ElementsAre("*RST", "SYST:ERR?"));
    EXPECT_THAT(textBoxLines(console, console::kErrorHistory), IsEmpty()) << "no error, nothing logged";
    std::string focus;
    GetActiveCtrl(console, &focus);
    EXPECT_EQ(focus, console::kCommandText);
    EXPECT_EQ(textValue(console, console::kCommandText), "") << "ready for the next command";
    EXPECT_THAT(popups(), IsEmpty());

    OperateCommit(console, console::kCloseButton);
    EXPECT_EQ(consolePanel(), 0);
    EXPECT_EQ(panelDimmed(mainPanel()), 0);
    EXPECT_EQ(menuBarDimmed(), 0);
}

TEST_F(ConsoleTest, TheReplyIsKeptWholeInAFixedWidthFont) {
    const int console = open();
    const std::string longReply(1023, 'x');
    kqvisa::scriptReply("*IDN?", longReply + "\n");
    send(console, "*IDN?");
    EXPECT_THAT(textBoxLines(console, console::kResponseBox), ElementsAre(longReply));
    QWidget* box = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* found = window->findChild<QWidget*>(console::kResponseBox)) box = found;
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(QFontInfo(box->font()).fixedPitch());
}

TEST_F(ConsoleTest, RejectedCommandsAreLoggedAndTheHistoryKeepsTheLast100) {
    const int console = open();
    send(console, "SOUR:BOGUS 1");
    const auto logged = textBoxLines(console, console::kErrorHistory);
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_THAT(logged[0], testing::MatchesRegex("-[0-9]+, \"[^\"]+\""));
    EXPECT_THAT(popups(), IsEmpty()) << "the module's error goes to the history, not to a pop-up";

    for (int i = 2; i <= 101; ++i) {
        kqvisa::scriptReply("SYST:ERR?",
                            "-" + std::to_string(200 + i) + ",\"Error " + std::to_string(i) + "\nmore\"\n");
        SetCtrlVal(console, console::kCommandText, "*CLS");
        OperateCommit(console, console::kSendButton);
    }
    const auto history = textBoxLines(console, console::kErrorHistory);
    ASSERT_EQ(history.size(), 100u);
    EXPECT_EQ(history.front(), "-202, \"Error 2");
    EXPECT_EQ(history.back(), "-301, \"Error 101");

    // A console opened again starts with an empty history.
    OperateCommit(console, console::kCloseButton);
    OperateCommit(mainPanel(), "ConsoleButton");
    EXPECT_THAT(textBoxLines(consolePanel(), console::kErrorHistory), IsEmpty());
}

TEST_F(ConsoleTest, AnEmptyCommandSendsNothingAndFailuresAreReported) {
    const int console = open();
    SetActiveCtrl(console, console::kCloseButton);
    OperateCommit(console, console::kSendButton);
    EXPECT_THAT(commandsSent(), IsEmpty());
    std::string focus;
    GetActiveCtrl(console, &focus);
    EXPECT_EQ(focus, console::kCommandText);

    kqvisa::failCall(kqvisa::Op::Write, VI_ERROR_IO);
    send(console, "*RST");
    EXPECT_THAT(popups(), ElementsAre("Error: Error sending the command/query"));
    EXPECT_EQ(intValue(mainPanel(), layout::kErrorIndicator), 1);

    ClearCapturedPopups();
    kqvisa::failCall(kqvisa::Op::Write, VI_ERROR_IO,
                     3);  // the command and its check pass; the error query fails
    send(console, "*RST");
    EXPECT_THAT(popups(), ElementsAre("Error: Error querying the System Error Queue"));
}

TEST_F(ConsoleTest, UpAndDownRecallTheCommandsSent) {
    const int console = open();
    send(console, "*IDN?");
    send(console, "*RST");
    const auto recalled = [console](int key) {
        OperateKey(console, console::kCommandText, key);
        return textValue(console, console::kCommandText);
    };
    EXPECT_EQ(recalled(UI_KEY_UP), "*RST");
    EXPECT_EQ(recalled(UI_KEY_UP), "*IDN?");
    EXPECT_EQ(recalled(UI_KEY_DOWN), "*RST");
    EXPECT_EQ(recalled(UI_KEY_DOWN), "");

    // Kept while the program runs, also across console openings.
    OperateCommit(console, console::kCloseButton);
    OperateCommit(mainPanel(), "ConsoleButton");
    OperateKey(consolePanel(), console::kCommandText, UI_KEY_UP);
    EXPECT_EQ(textValue(consolePanel(), console::kCommandText), "*RST");
}

}  // namespace
}  // namespace sfptest
