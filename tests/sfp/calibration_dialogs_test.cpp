// The calibration dialog, its password dialog and the change-password dialog on the simulated
// chassis (factory calibration password "KQ7120").
#include <gmock/gmock.h>

#include <QApplication>
#include <QClipboard>

#include "calibration_dialog.h"
#include "calibration_password_dialog.h"
#include "change_password_dialog.h"
#include "dialog_test_support.h"
#include "front_panel_state.h"
#include "kqvisa/fault_injection.h"
#include "masked_entry.h"
#include "panel_layout.h"
#include "qt_application.h"
#include "ui_operator.h"
#include "ui_popup_capture.h"

namespace sfptest {
namespace {

using kqsim::ModuleKind;
using ::testing::Contains;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;

namespace cal = calibration_layout;
namespace pw = password_layout;
namespace cpw = change_password_layout;

constexpr const char* kFactoryPassword = "KQ7120";

class CalibrationDialogTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        startOn(kqsim::defaultChassis());
    }

    static int openDialog() {
        EXPECT_EQ(OperateMenuItem(frontPanel().mainMenuBar, "CalibrationMenuEntry"), UI_SUCCESS);
        kqvisa::clearTrace();
        ClearCapturedPopups();
        return calibrationDialogPanel();
    }

    static void type(int panel, const char* control, const std::string& text) {
        for (const char c : text)
            ASSERT_EQ(OperateKey(panel, control, static_cast<unsigned char>(c)), UI_SUCCESS);
    }

    // Types the password into the open password dialog and presses Enter.
    static void enterPassword(const std::string& password) {
        const int dialog = passwordDialogPanel();
        ASSERT_GT(dialog, 0);
        type(dialog, pw::kEntry, password);
        ASSERT_EQ(OperateKey(dialog, pw::kEntry, UI_KEY_ENTER), UI_SUCCESS);
        finishDiscards();
    }

    static void send(int calPanel, const std::string& password) {
        ASSERT_EQ(OperateCommit(calPanel, cal::kCalibrateButton), UI_SUCCESS);
        enterPassword(password);
    }

    static std::string text(int panel, const char* control) {
        std::string value;
        EXPECT_EQ(GetCtrlVal(panel, control, &value), UI_SUCCESS);
        return value;
    }

    static std::vector<std::string> rows(int panel) {
        int count = 0;
        GetNumListItems(panel, cal::kConstantsList, &count);
        std::vector<std::string> labels(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
            GetLabelFromIndex(panel, cal::kConstantsList, i, &labels[static_cast<std::size_t>(i)]);
        return labels;
    }

    // Writes constants straight to the module: gain of channel c in range r = 10·r + c,
    // offset = -(10·r + c).
    static void loadDistinctConstants() {
        ViInt16 block[kq7120_CAL_DATA_SIZE] = {};
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 16; ++c) {
                block[r * 16 + c] = static_cast<ViInt16>(10 * r + c + 1);
                block[32 + r * 16 + c] = static_cast<ViInt16>(-(10 * r + c + 1));
            }
        ASSERT_EQ(kq7120_calibrationDataBlock(frontPanel().instrHandle, kFactoryPassword, block), VI_SUCCESS);
    }
};

// --- Masked entry: the same rules in all three password fields ----------------------------------

struct PasswordField {
    const char* name;
    const char* control;
    PasswordBuffer& (*buffer)();
    int (*open)(int calPanel);  // opens the field's dialog, returns it
};

int openSendPrompt(int calPanel) {
    OperateCommit(calPanel, cal::kCalibrateButton);
    return passwordDialogPanel();
}

int openChangeCurrent(int calPanel) {
    OperateCommit(calPanel, cal::kChangePasswordButton);
    return changePasswordDialogPanel();
}

int openChangeNew(int calPanel) {
    const int dialog = openChangeCurrent(calPanel);
    OperateKey(dialog, cpw::kCurrentEntry, UI_KEY_ENTER);
    return dialog;
}

const PasswordField kPasswordFields[] = {
    {"PasswordEntry", pw::kEntry, passwordText, openSendPrompt},
    {"CurrentPasswordEntry", cpw::kCurrentEntry, passwordText, openChangeCurrent},
    {"NewPasswordEntry", cpw::kNewEntry, newPasswordText, openChangeNew},
};

class MaskedEntryTest : public CalibrationDialogTest, public ::testing::WithParamInterface<PasswordField> {};

TEST_P(MaskedEntryTest, KeepsTwelveTypedCharactersAndShowsOnlyAsterisks) {
    const PasswordField& field = GetParam();
    const int dialog = field.open(openDialog());
    ASSERT_GT(dialog, 0);
    const long long beepsBefore = BeepCount();
    ASSERT_EQ(OperateKey(dialog, field.control, UI_KEY_BACKSPACE), UI_SUCCESS);  // nothing to remove
    EXPECT_EQ(BeepCount(), beepsBefore + 1);
    type(dialog, field.control, "pass word-13");
    EXPECT_EQ(BeepCount(), beepsBefore + 1);
    type(dialog, field.control, "X");  // the 13th
    EXPECT_EQ(BeepCount(), beepsBefore + 2);
    EXPECT_STREQ(field.buffer().text, "pass word-13");
    EXPECT_EQ(text(dialog, field.control), std::string(12, '*'));

    OperateKey(dialog, field.control, UI_KEY_BACKSPACE);
    OperateKey(dialog, field.control, UI_KEY_BACKSPACE);
    EXPECT_STREQ(field.buffer().text, "pass word-");
    EXPECT_EQ(text(dialog, field.control), std::string(10, '*'));

    // Caret keys, clicks and shortcuts do nothing: what follows is still appended at the end.
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    for (const int key : {UI_KEY_LEFT, UI_KEY_HOME, UI_KEY_RIGHT, UI_KEY_END, 'v' | UI_KEY_CONTROL_MODIFIER,
                          UI_KEY_INSERT, 'a' | UI_KEY_CONTROL_MODIFIER})
        ASSERT_EQ(OperateKey(dialog, field.control, key), UI_SUCCESS) << key;
    ASSERT_EQ(OperateClick(dialog, field.control), UI_SUCCESS);
    ASSERT_EQ(OperateDoubleClick(dialog, field.control), UI_SUCCESS);
    type(dialog, field.control, "Z");
    EXPECT_STREQ(field.buffer().text, "pass word-Z");
    EXPECT_EQ(text(dialog, field.control), std::string(11, '*'));
}

INSTANTIATE_TEST_SUITE_P(AllPasswordFields, MaskedEntryTest, ::testing::ValuesIn(kPasswordFields),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Sending the constants -----------------------------------------------------------------------

TEST_F(CalibrationDialogTest, SendingWithAnEmptyOrWrongPasswordKeepsThePromptOpen) {
    const int calPanel = openDialog();
    ASSERT_GT(calPanel, 0);
    send(calPanel, "");
    EXPECT_THAT(popups(), ElementsAre("ERROR: Invalid password string"));
    EXPECT_THAT(writesStartingWith("CAL:"), IsEmpty());
    const int dialog = passwordDialogPanel();
    ASSERT_GT(dialog, 0);
    EXPECT_EQ(text(dialog, pw::kStatusText), "");

    ClearCapturedPopups();
    enterPassword("WRONG");
    ASSERT_EQ(popups().size(), 2u);
    EXPECT_THAT(popups()[0], StartsWith("Error: Instrument Error : -224"));
    EXPECT_EQ(popups()[1], "Error: Error calibrating gain and offset");
    EXPECT_EQ(passwordDialogPanel(), dialog);
    EXPECT_EQ(text(dialog, pw::kEntry), "");
    EXPECT_EQ(passwordText().length, 0) << "the typed password is gone after a failure";
    EXPECT_EQ(panelDimmed(calPanel), 1);
    EXPECT_EQ(attribute(calPanel, cal::kSaveButton, UI_ATTR_DIMMED), 1);
}

TEST_F(CalibrationDialogTest, SendingWithTheRightPasswordWritesTheEditedTablesAndEnablesSave) {
    const int calPanel = openDialog();
    // Channel 2's gain in the 20 V range becomes 5.
    ASSERT_EQ(OperateSelect(calPanel, cal::kKindSelector, 1), UI_SUCCESS);
    ASSERT_EQ(OperateEnterValue(calPanel, cal::kChannelField, "2"), UI_SUCCESS);
    ASSERT_EQ(OperateEnterValue(calPanel, cal::kValueField, "5"), UI_SUCCESS);
    std::string row;
    GetLabelFromIndex(calPanel, cal::kConstantsList, 1, &row);
    EXPECT_EQ(row, "2\033p100l5\033p200l0");

    PaintedTexts painted(pw::kStatusText);
    send(calPanel, kFactoryPassword);
    EXPECT_THAT(popups(), IsEmpty());
    EXPECT_THAT(painted.texts, Contains("    Calibration in progress..."))
        << "painted before the call returned";
    EXPECT_EQ(passwordDialogPanel(), 0);
    EXPECT_EQ(panelDimmed(calPanel), 0);
    EXPECT_EQ(attribute(calPanel, cal::kSaveButton, UI_ATTR_DIMMED), 0);
    EXPECT_EQ(passwordText().length, 0);
    const auto constants = kqModule().calibrationConstants();
    EXPECT_EQ(constants[1], 5);
    EXPECT_EQ(kqModule().calibrationCount(), 0) << "sending does not store";
}

// --- Storing -------------------------------------------------------------------------------------

struct StoreCase {
    const char* name;
    const char* count;
    bool closes;
};

class StoreCountTest : public CalibrationDialogTest, public ::testing::WithParamInterface<StoreCase> {};

TEST_P(StoreCountTest, AStoreBeyondTenThousandCyclesWarnsAndKeepsThePrompt) {
    const int calPanel = openDialog();
    send(calPanel, kFactoryPassword);
    ASSERT_EQ(OperateCommit(calPanel, cal::kSaveButton), UI_SUCCESS);
    EXPECT_EQ(attribute(calPanel, cal::kSaveButton, UI_ATTR_DIMMED), 1) << "dimmed while the prompt is up";
    kqvisa::scriptReply("CAL:COUNT?", std::string(GetParam().count) + "\n");
    PaintedTexts painted(pw::kStatusText);
    const int dialog = passwordDialogPanel();
    enterPassword(kFactoryPassword);
    EXPECT_THAT(painted.texts, Contains("Storing to NVRAM in progress..."));
    EXPECT_EQ(attribute(calPanel, cal::kSaveButton, UI_ATTR_DIMMED), 1);
    EXPECT_EQ(panelDimmed(calPanel), GetParam().closes ? 0 : 1) << "usable again once the prompt is gone";
    if (GetParam().closes) {
        EXPECT_THAT(popups(), IsEmpty());
        EXPECT_EQ(passwordDialogPanel(), 0);
        EXPECT_EQ(intValue(calPanel, cal::kCountDisplay), 10000);
    } else {
        EXPECT_THAT(popups(), ElementsAre("Error: Guaranteed minimum of 10K cycles exceeded"));
        EXPECT_EQ(passwordDialogPanel(), dialog);
        EXPECT_EQ(text(dialog, pw::kStatusText), "Storing to NVRAM complete");
        std::string label;
        GetCtrlAttribute(dialog, pw::kCancelButton, UI_ATTR_LABEL_TEXT, &label);
        EXPECT_EQ(label, "__Done");
        EXPECT_EQ(attribute(dialog, pw::kEntry, UI_ATTR_DIMMED), 1);
        EXPECT_EQ(intValue(calPanel, cal::kCountDisplay), 0) << "the count shown is not updated";
        ASSERT_EQ(OperateCommit(dialog, pw::kCancelButton), UI_SUCCESS);
        EXPECT_EQ(passwordDialogPanel(), 0);
        EXPECT_EQ(panelDimmed(calPanel), 0);
        EXPECT_EQ(attribute(calPanel, cal::kSaveButton, UI_ATTR_DIMMED), 1)
            << "Done after a store keeps Save dimmed";
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, StoreCountTest,
                         ::testing::Values(StoreCase{"Exactly10000", "10000", true},
                                           StoreCase{"Above10000", "10001", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CalibrationDialogTest, AFailedStoreGivesSaveBackAndStoredConstantsSurviveARestart) {
    int calPanel = openDialog();
    ASSERT_EQ(OperateEnterValue(calPanel, cal::kValueField, "-7"), UI_SUCCESS);  // channel 1 zero, 20 V
    send(calPanel, kFactoryPassword);
    OperateCommit(calPanel, cal::kSaveButton);
    enterPassword("WRONG");
    EXPECT_THAT(popups(), Contains("Error: Error saving calibrated data"));
    EXPECT_EQ(attribute(calPanel, cal::kSaveButton, UI_ATTR_DIMMED), 0);
    ClearCapturedPopups();
    enterPassword(kFactoryPassword);
    EXPECT_THAT(popups(), IsEmpty());
    EXPECT_EQ(intValue(calPanel, cal::kCountDisplay), 1);

    restart();
    calPanel = openDialog();
    ASSERT_GT(calPanel, 0);
    EXPECT_EQ(intValue(calPanel, cal::kValueField), -7);
    EXPECT_EQ(intValue(calPanel, cal::kCountDisplay), 1);
}

// Save's state after each way of leaving a prompt, with Save enabled by a send beforehand.
struct LeaveCase {
    const char* name;
    const char* opener;
    bool byEscape;
    int saveDimmed;
};

class LeavePromptTest : public CalibrationDialogTest, public ::testing::WithParamInterface<LeaveCase> {};

TEST_P(LeavePromptTest, SaveFollowsTheWayThePromptWasLeft) {
    const int calPanel = openDialog();
    send(calPanel, kFactoryPassword);
    ASSERT_EQ(OperateCommit(calPanel, GetParam().opener), UI_SUCCESS);
    const int dialog = passwordDialogPanel();
    type(dialog, pw::kEntry, "abc");
    if (GetParam().byEscape)
        ASSERT_EQ(OperateKey(dialog, pw::kEntry, UI_KEY_ESC), UI_SUCCESS);
    else
        ASSERT_EQ(OperateCommit(dialog, pw::kCancelButton), UI_SUCCESS);
    finishDiscards();
    EXPECT_EQ(passwordDialogPanel(), 0);
    EXPECT_EQ(panelDimmed(calPanel), 0);
    EXPECT_EQ(attribute(calPanel, cal::kSaveButton, UI_ATTR_DIMMED), GetParam().saveDimmed);
    EXPECT_THAT(std::string(passwordText().text, sizeof passwordText().text), Each('\0')) << "buffer zeroed";
}

INSTANTIATE_TEST_SUITE_P(Ways, LeavePromptTest,
                         ::testing::Values(LeaveCase{"SaveThenCancel", cal::kSaveButton, false, 0},
                                           LeaveCase{"SaveThenEscape", cal::kSaveButton, true, 0},
                                           LeaveCase{"CalibrateThenCancel", cal::kCalibrateButton, false, 1},
                                           LeaveCase{"CalibrateThenEscape", cal::kCalibrateButton, true, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Changing the password -----------------------------------------------------------------------

TEST_F(CalibrationDialogTest, ChangingThePasswordRetriesTheSamePairAfterAFailure) {
    const int calPanel = openDialog();
    ASSERT_EQ(OperateCommit(calPanel, cal::kChangePasswordButton), UI_SUCCESS);
    const int dialog = changePasswordDialogPanel();
    ASSERT_GT(dialog, 0);
    EXPECT_EQ(panelDimmed(calPanel), 1);
    EXPECT_EQ(attribute(dialog, cpw::kNewEntry, UI_ATTR_DIMMED), 1);
    EXPECT_EQ(attribute(dialog, cpw::kApplyButton, UI_ATTR_DIMMED), 1);
    type(dialog, cpw::kCurrentEntry, "WRONG");
    OperateKey(dialog, cpw::kCurrentEntry, UI_KEY_ENTER);
    EXPECT_EQ(attribute(dialog, cpw::kNewEntry, UI_ATTR_DIMMED), 0);
    type(dialog, cpw::kNewEntry, "NEWCODE");
    OperateKey(dialog, cpw::kNewEntry, UI_KEY_ENTER);
    ASSERT_EQ(attribute(dialog, cpw::kApplyButton, UI_ATTR_DIMMED), 0);

    ASSERT_EQ(OperateCommit(dialog, cpw::kApplyButton), UI_SUCCESS);
    EXPECT_THAT(popups(), Contains("Error: Error changing the password"));
    EXPECT_EQ(text(dialog, cpw::kNewEntry), " ");
    EXPECT_STREQ(passwordText().text, "WRONG");
    EXPECT_STREQ(newPasswordText().text, "NEWCODE");
    ASSERT_EQ(OperateCommit(dialog, cpw::kApplyButton), UI_SUCCESS);
    EXPECT_EQ(writesStartingWith("CAL:SEC:STAT 0,#15WRONG").size(), 2u) << "the same pair, tried twice";
    EXPECT_EQ(changePasswordDialogPanel(), dialog);

    // Back to the calibration dialog and in again with the right current password.
    ASSERT_EQ(OperateCommit(dialog, cpw::kCancelButton), UI_SUCCESS);
    finishDiscards();
    EXPECT_EQ(panelDimmed(calPanel), 0);
    EXPECT_EQ(passwordText().length, 0);
    EXPECT_EQ(newPasswordText().length, 0);
    ClearCapturedPopups();
    const int again = openChangeCurrent(calPanel);
    type(again, cpw::kCurrentEntry, kFactoryPassword);
    OperateKey(again, cpw::kCurrentEntry, UI_KEY_ENTER);
    type(again, cpw::kNewEntry, "NEWCODE");
    OperateKey(again, cpw::kNewEntry, UI_KEY_ENTER);
    ASSERT_EQ(OperateCommit(again, cpw::kApplyButton), UI_SUCCESS);
    finishDiscards();
    EXPECT_THAT(popups(), ElementsAre("Message: Password has been changed"));
    EXPECT_EQ(changePasswordDialogPanel(), 0);
    EXPECT_EQ(panelDimmed(calPanel), 0);
    EXPECT_EQ(panelDimmed(mainPanel()), 1);

    ClearCapturedPopups();
    send(calPanel, "NEWCODE");
    EXPECT_THAT(popups(), IsEmpty()) << "the new password is the one the module takes";
}

TEST_F(CalibrationDialogTest, AnEmptyNewPasswordIsAnInvalidString) {
    const int calPanel = openDialog();
    const int dialog = openChangeNew(calPanel);
    OperateKey(dialog, cpw::kNewEntry, UI_KEY_ENTER);
    ASSERT_EQ(OperateCommit(dialog, cpw::kApplyButton), UI_SUCCESS);
    EXPECT_THAT(popups(), ElementsAre("Error: Invalid password string"));
    EXPECT_THAT(writesStartingWith("CAL:"), IsEmpty());
}

// --- Ranges, rows and models ---------------------------------------------------------------------

TEST_F(CalibrationDialogTest, TheRangeSelectorRefillsTheListAndRewritesEveryChannelRange) {
    loadDistinctConstants();
    frontPanel().channelRange[0] = kq7120_10VOLT_RANGE;  // kept for channel 1 by the range dialog
    const int calPanel = openDialog();
    // At opening the selector, the list and the value shown all follow the kept range.
    EXPECT_EQ(intValue(calPanel, cal::kRangeSelector), 1);
    EXPECT_THAT(frontPanel().channelRange, Each(kq7120_10VOLT_RANGE));
    EXPECT_EQ(rows(calPanel)[0], "1\033p100l11\033p200l-11");
    EXPECT_EQ(intValue(calPanel, cal::kValueField), -11);

    ASSERT_EQ(OperateSelect(calPanel, cal::kRangeSelector, 0), UI_SUCCESS);
    EXPECT_THAT(frontPanel().channelRange, Each(kq7120_20VOLT_RANGE));
    const auto labels = rows(calPanel);
    ASSERT_EQ(labels.size(), 16u);
    EXPECT_EQ(labels[0], "1\033p100l1\033p200l-1");
    EXPECT_EQ(labels[15], "16\033p100l16\033p200l-16");

    // Picking a row shows that channel's constant; the kind selector switches zero and gain.
    ASSERT_EQ(OperateSelect(calPanel, cal::kConstantsList, 4), UI_SUCCESS);
    EXPECT_EQ(intValue(calPanel, cal::kChannelField), 5);
    EXPECT_EQ(intValue(calPanel, cal::kValueField), -5);
    ASSERT_EQ(OperateSelect(calPanel, cal::kKindSelector, 1), UI_SUCCESS);
    EXPECT_EQ(intValue(calPanel, cal::kValueField), 5);
    std::string label;
    GetCtrlAttribute(calPanel, cal::kValueField, UI_ATTR_LABEL_TEXT, &label);
    EXPECT_EQ(label, "Gain Value");
}

TEST_F(CalibrationDialogTest, AKq7110ShowsEightRowsAndStillSendsAllSixtyFourConstants) {
    endProgram();
    startOn(chassis({module(ModuleKind::KQ7110, 40, 4)}));
    connectTo(0);
    ASSERT_EQ(frontPanel().channelCount, 8);
    const int calPanel = openDialog();
    EXPECT_EQ(rows(calPanel).size(), 8u);
    EXPECT_EQ(attribute(calPanel, cal::kChannelField, UI_ATTR_MAX_VALUE), 8);
    send(calPanel, kFactoryPassword);
    EXPECT_THAT(popups(), IsEmpty());
    const auto blocks = writesStartingWith("CAL:DATA#264");
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_GE(blocks[0].size(), std::string("CAL:DATA#264").size() + 64);
}

// --- Closing -------------------------------------------------------------------------------------

TEST_F(CalibrationDialogTest, ClosingEnablesTheConfigurationMenuAgain) {
    const int calPanel = openDialog();
    int dimmed = -1;
    GetMenuBarAttribute(frontPanel().mainMenuBar, "ScanListMenuEntry", UI_ATTR_DIMMED, &dimmed);
    EXPECT_EQ(dimmed, 1);
    EXPECT_EQ(panelDimmed(mainPanel()), 1);
    ASSERT_EQ(OperateCommit(calPanel, cal::kCloseButton), UI_SUCCESS);
    finishDiscards();
    EXPECT_EQ(calibrationDialogPanel(), 0);
    EXPECT_EQ(panelDimmed(mainPanel()), 0);
    GetMenuBarAttribute(frontPanel().mainMenuBar, "ScanListMenuEntry", UI_ATTR_DIMMED, &dimmed);
    EXPECT_EQ(dimmed, 0);
}

}  // namespace
}  // namespace sfptest
