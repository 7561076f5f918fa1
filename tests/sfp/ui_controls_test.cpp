// Control values, defaults, attributes, list entries and text-box lines.
#include <gmock/gmock.h>

#include "ui_fixture.h"
#include "ui_operator.h"

namespace sfptest {
namespace {

TEST_F(UiLayerTest, EachKindOfControlTakesItsTypeOfValue) {
    const int panel = show("controls.ui");
    struct NumericCase {
        const char* control;
        double written;
        double read;
    };
    const NumericCase numbers[] = {
        {"Number", -19.5, -19.5}, {"Number", 25.0, 20.0},  // clamped to the maximum
        {"Count", 12.0, 12.0},    {"Switch", 1.0, 1.0},    {"Toggle", 0.0, 0.0},
        {"Lamp", 1.0, 1.0},       {"Display", 16.0, 16.0}, {"Mode", 2.0, 2.0},
    };
    for (const NumericCase& c : numbers) {
        EXPECT_EQ(SetCtrlVal(panel, c.control, c.written), UI_SUCCESS) << c.control;
        double value = -1.0;
        EXPECT_EQ(GetCtrlVal(panel, c.control, &value), UI_SUCCESS) << c.control;
        EXPECT_DOUBLE_EQ(value, c.read) << c.control;
    }
    int slot = 0;
    SetCtrlVal(panel, "Display", 5);
    GetCtrlVal(panel, "Display", &slot);
    EXPECT_EQ(slot, 5);

    for (const char* control : {"Name", "Message", "Log"}) {
        EXPECT_EQ(SetCtrlVal(panel, control, "Model 7120 - Slot 2"), UI_SUCCESS) << control;
        std::string text;
        EXPECT_EQ(GetCtrlVal(panel, control, &text), UI_SUCCESS) << control;
        EXPECT_EQ(text, "Model 7120 - Slot 2") << control;
    }

    int number = 0;
    std::string text;
    EXPECT_EQ(GetCtrlVal(panel, "Name", &number), UI_ERR_WRONG_TYPE);
    EXPECT_EQ(GetCtrlVal(panel, "Number", &text), UI_ERR_WRONG_TYPE);
    EXPECT_EQ(SetCtrlVal(panel, "Apply", 1), UI_ERR_WRONG_TYPE);
    EXPECT_EQ(SetCtrlVal(panel, "Mode", 7), UI_ERR_INDEX_OUT_OF_RANGE);
    EXPECT_EQ(GetCtrlVal(panel, "Choices", &number), UI_ERR_INDEX_OUT_OF_RANGE);  // nothing selected
}

TEST_F(UiLayerTest, DefaultsComeFromTheFormUnlessChanged) {
    const int panel = show("controls.ui");
    SetCtrlVal(panel, "Number", 3.0);
    SetCtrlVal(panel, "Name", "changed");
    SetCtrlVal(panel, "Toggle", 0);
    SetCtrlVal(panel, "Mode", 2);
    SetCtrlVal(panel, "Display", 9);
    SetCtrlAttribute(panel, "Apply", UI_ATTR_LABEL_TEXT, "Send");

    ASSERT_EQ(DefaultCtrl(panel, "Number"), UI_SUCCESS);
    double volts = 0.0;
    GetCtrlVal(panel, "Number", &volts);
    EXPECT_DOUBLE_EQ(volts, 1.5);

    ASSERT_EQ(SetCtrlAttribute(panel, "Display", UI_ATTR_DEFAULT_VALUE, 9), UI_SUCCESS);
    ASSERT_EQ(DefaultPanel(panel), UI_SUCCESS);
    std::string name, label;
    int toggle = 0, mode = -1, display = 0;
    GetCtrlVal(panel, "Name", &name);
    GetCtrlVal(panel, "Toggle", &toggle);
    GetCtrlVal(panel, "Mode", &mode);
    GetCtrlVal(panel, "Display", &display);
    GetCtrlAttribute(panel, "Apply", UI_ATTR_LABEL_TEXT, &label);
    EXPECT_EQ(name, "preset");
    EXPECT_EQ(toggle, 1);
    EXPECT_EQ(mode, 0);
    EXPECT_EQ(display, 9);
    EXPECT_EQ(label, "Send");  // labels are attributes, not values

    int stored = 0;
    GetCtrlAttribute(panel, "Display", UI_ATTR_DEFAULT_VALUE, &stored);
    EXPECT_EQ(stored, 9);
    EXPECT_EQ(SetCtrlAttribute(panel, "Name", UI_ATTR_DEFAULT_VALUE, 1), UI_ERR_WRONG_TYPE);
    EXPECT_TRUE(recorder().events.empty());
}

TEST_F(UiLayerTest, AttributesDimColourLimitAndLabelControls) {
    const int panel = show("controls.ui");
    int value = -1;

    SetCtrlAttribute(panel, "Number", UI_ATTR_DIMMED, 1);
    GetCtrlAttribute(panel, "Number", UI_ATTR_DIMMED, &value);
    EXPECT_EQ(value, 1);
    GetCtrlAttribute(panel, "NumberLabel", UI_ATTR_DIMMED, &value);
    EXPECT_EQ(value, 1) << "a control's label dims with it";
    SetCtrlAttribute(panel, "Number", UI_ATTR_DIMMED, 0);
    GetCtrlAttribute(panel, "NumberLabel", UI_ATTR_DIMMED, &value);
    EXPECT_EQ(value, 0);

    for (const int colour : {UI_COLOR_BLUE, UI_COLOR_BLACK, UI_COLOR_RED}) {
        SetCtrlAttribute(panel, "Number", UI_ATTR_TEXT_COLOR, colour);
        GetCtrlAttribute(panel, "Number", UI_ATTR_TEXT_COLOR, &value);
        EXPECT_EQ(value, colour);
    }

    SetCtrlAttribute(panel, "Number", UI_ATTR_MIN_VALUE, -10.0);
    SetCtrlAttribute(panel, "Number", UI_ATTR_MAX_VALUE, 9.99985);
    double limit = 0.0, volts = 0.0;
    GetCtrlAttribute(panel, "Number", UI_ATTR_MAX_VALUE, &limit);
    EXPECT_NEAR(limit, 9.99985, 1e-3);
    SetCtrlVal(panel, "Number", -15.0);
    GetCtrlVal(panel, "Number", &volts);
    EXPECT_DOUBLE_EQ(volts, -10.0);
    EXPECT_EQ(SetCtrlAttribute(panel, "Name", UI_ATTR_MAX_VALUE, 1.0), UI_ERR_INVALID_ATTRIBUTE);

    struct LabelCase {
        const char* control;
        const char* written;
    };
    for (const LabelCase& c : {LabelCase{"Apply", "__Done"}, LabelCase{"Number", "Level (__V)"},
                               LabelCase{"Switch", "R&D"}, LabelCase{"Apply", "Plain"}}) {
        ASSERT_EQ(SetCtrlAttribute(panel, c.control, UI_ATTR_LABEL_TEXT, c.written), UI_SUCCESS) << c.written;
        std::string label;
        GetCtrlAttribute(panel, c.control, UI_ATTR_LABEL_TEXT, &label);
        EXPECT_EQ(label, c.written);
    }
    std::string label;
    EXPECT_EQ(GetCtrlAttribute(panel, "Count", UI_ATTR_LABEL_TEXT, &label), UI_ERR_INVALID_ATTRIBUTE);
}

TEST_F(UiLayerTest, FormLabelsReportTheirAccessKey) {
    const int panel = show("controls.ui");
    std::string label;
    GetCtrlAttribute(panel, "Number", UI_ATTR_LABEL_TEXT, &label);
    EXPECT_EQ(label, "__Volts");
    GetCtrlAttribute(panel, "Switch", UI_ATTR_LABEL_TEXT, &label);
    EXPECT_EQ(label, "S__witch");
}

TEST_F(UiLayerTest, PanelAttributes) {
    const int panel = LoadPanel(0, "controls.ui");
    int value = -1;
    GetPanelAttribute(panel, UI_ATTR_VISIBLE, &value);
    EXPECT_EQ(value, 0);
    DisplayPanel(panel);
    GetPanelAttribute(panel, UI_ATTR_VISIBLE, &value);
    EXPECT_EQ(value, 1);

    SetPanelAttribute(panel, UI_ATTR_DIMMED, 1);
    GetPanelAttribute(panel, UI_ATTR_DIMMED, &value);
    EXPECT_EQ(value, 1);
    GetCtrlAttribute(panel, "Apply", UI_ATTR_DIMMED, &value);
    EXPECT_EQ(value, 0) << "the panel's dimming is not the control's own";

    std::string title;
    SetPanelAttribute(panel, UI_ATTR_TITLE, "Voltage Range");
    GetPanelAttribute(panel, UI_ATTR_TITLE, &title);
    EXPECT_EQ(title, "Voltage Range");
    testing::internal::CaptureStderr();
    EXPECT_EQ(SetPanelAttribute(panel, UI_ATTR_CLOSE_CTRL, "NoSuchControl"), UI_ERR_INVALID_CONTROL);
    testing::internal::GetCapturedStderr();
    DiscardPanel(panel);
}

TEST_F(UiLayerTest, FocusFollowsSetActiveCtrl) {
    const int panel = show("controls.ui");
    ASSERT_EQ(SetActiveCtrl(panel, "Name"), UI_SUCCESS);
    std::string active;
    GetActiveCtrl(panel, &active);
    EXPECT_EQ(active, "Name");
}

TEST_F(UiLayerTest, ListEntriesHaveLabelsAndValues) {
    const int panel = show("controls.ui");
    for (const char* list : {"Choices", "Mode"}) {
        SCOPED_TRACE(list);
        ASSERT_EQ(ClearListCtrl(panel, list), UI_SUCCESS);
        InsertListItem(panel, list, -1, "Model 7120 - Slot 2", 0);
        InsertListItem(panel, list, -1, "Model 7110 - Slot 4", 1);
        InsertListItem(panel, list, 0, "Model 7120 - Slot 1", 7);
        int count = 0, value = -1;
        std::string label;
        GetNumListItems(panel, list, &count);
        EXPECT_EQ(count, 3);
        GetLabelFromIndex(panel, list, 0, &label);
        GetValueFromIndex(panel, list, 0, &value);
        EXPECT_EQ(label, "Model 7120 - Slot 1");
        EXPECT_EQ(value, 7);

        ASSERT_EQ(ReplaceListItem(panel, list, 2, "Model 7120 - Slot 9", 5), UI_SUCCESS);
        GetLabelFromIndex(panel, list, 2, &label);
        EXPECT_EQ(label, "Model 7120 - Slot 9");
        SetCtrlIndex(panel, list, 2);
        GetCtrlVal(panel, list, &value);
        EXPECT_EQ(value, 5);
        SetCtrlVal(panel, list, 7);
        GetCtrlIndex(panel, list, &value);
        EXPECT_EQ(value, 0);

        EXPECT_EQ(DeleteListItem(panel, list, 1, 1), UI_SUCCESS);
        GetNumListItems(panel, list, &count);
        EXPECT_EQ(count, 2);
        EXPECT_EQ(InsertListItem(panel, list, 5, "beyond the end", 0), UI_ERR_INDEX_OUT_OF_RANGE);
        EXPECT_EQ(GetLabelFromIndex(panel, list, 2, &label), UI_ERR_INDEX_OUT_OF_RANGE);
        EXPECT_EQ(SetCtrlIndex(panel, list, 2), UI_ERR_INDEX_OUT_OF_RANGE);
        EXPECT_EQ(DeleteListItem(panel, list, 0, -1), UI_SUCCESS);
        GetNumListItems(panel, list, &count);
        EXPECT_EQ(count, 0);
        GetCtrlIndex(panel, list, &value);
        EXPECT_EQ(value, -1);
    }
    int count = 0;
    EXPECT_EQ(GetNumListItems(panel, "Name", &count), UI_ERR_WRONG_TYPE);
}

TEST_F(UiLayerTest, FormEntriesAreNumberedAndAListStartsWithNothingSelected) {
    const int panel = show("controls.ui");
    int index = 0, value = -1;
    GetCtrlIndex(panel, "Choices", &index);
    EXPECT_EQ(index, -1);
    GetValueFromIndex(panel, "Mode", 2, &value);
    EXPECT_EQ(value, 2);
    SetCtrlIndex(panel, "Choices", 1);
    SetCtrlIndex(panel, "Choices", -1);
    GetCtrlIndex(panel, "Choices", &index);
    EXPECT_EQ(index, -1);
}

TEST_F(UiLayerTest, TextBoxLines) {
    const int panel = show("controls.ui");
    int count = -1;
    GetNumTextBoxLines(panel, "Log", &count);
    EXPECT_EQ(count, 0);
    for (const char* line : {"-113, Undefined header", "-222, Data out of range", "-350, Queue overflow"})
        InsertTextBoxLine(panel, "Log", -1, line);
    InsertTextBoxLine(panel, "Log", 0, "first");
    GetNumTextBoxLines(panel, "Log", &count);
    EXPECT_EQ(count, 4);
    ASSERT_EQ(DeleteTextBoxLine(panel, "Log", 0), UI_SUCCESS);
    std::string line;
    GetTextBoxLine(panel, "Log", 0, &line);
    EXPECT_EQ(line, "-113, Undefined header");
    GetTextBoxLine(panel, "Log", 2, &line);
    EXPECT_EQ(line, "-350, Queue overflow");
    EXPECT_EQ(DeleteTextBoxLine(panel, "Log", 3), UI_ERR_INDEX_OUT_OF_RANGE);
    ResetTextBox(panel, "Log", "a\nb");
    GetNumTextBoxLines(panel, "Log", &count);
    EXPECT_EQ(count, 2);
    ResetTextBox(panel, "Log", "");
    GetNumTextBoxLines(panel, "Log", &count);
    EXPECT_EQ(count, 0);
}

}  // namespace
}  // namespace sfptest
