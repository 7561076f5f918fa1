// Numbers typed into the spin boxes of forms: either decimal point in any locale, and an entry the
// control cannot take kept as typed, marked and never committed.
#include <gmock/gmock.h>

#include <QAbstractSpinBox>
#include <QApplication>
#include <QImage>
#include <QToolTip>

#include "process_locale.h"
#include "qt_application.h"
#include "ui_fixture.h"
#include "ui_operator.h"

namespace sfptest {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

QAbstractSpinBox* spinBox(const char* name) {
    for (QWidget* widget : QApplication::allWidgets())
        if (widget->objectName() == QLatin1String(name) && widget->isVisible())
            if (auto* spin = qobject_cast<QAbstractSpinBox*>(widget)) return spin;
    return nullptr;
}

// The red frame a refused entry gets, at the middle of the control's left edge.
bool framedRed(QAbstractSpinBox* spin) {
    const QImage image = spin->grab().toImage();
    const QColor edge = image.pixelColor(1, image.height() / 2);
    return edge.red() > 150 && edge.green() < 80 && edge.blue() < 80;
}

std::vector<int> commitsOf(const std::vector<ControlEvent>& events) {
    std::vector<int> codes;
    for (const ControlEvent& event : events)
        if (event.event == UI_EVENT_COMMIT || event.event == UI_EVENT_VAL_CHANGED)
            codes.push_back(event.event);
    return codes;
}

class NumericEntryTest : public UiLayerTest, public ::testing::WithParamInterface<OperatorLocale> {
protected:
    void SetUp() override {
        UiLayerTest::SetUp();
        locale_ = std::make_unique<ProcessLocale>(GetParam());
        ASSERT_TRUE(locale_->complete())
            << "the C library's de_DE.UTF-8 could not be built (package locales)";
    }
    void TearDown() override {
        QToolTip::hideText();
        UiLayerTest::TearDown();
        locale_.reset();
    }
    // A fresh form: Number is -20 to 20 with 3 decimals and holds 1.5; Count is 0 to 512, holds 7.
    int freshPanel() {
        if (panel_ > 0) DiscardPanel(panel_);
        finishDiscards();
        recorder().events.clear();
        panel_ = show("controls.ui");
        return panel_;
    }

private:
    std::unique_ptr<ProcessLocale> locale_;
    int panel_ = 0;
};

TEST_P(NumericEntryTest, AnEntryIsTakenAsTypedOrNotAtAll) {
    struct Case {
        const char* control;
        const char* typed;
        bool taken;
        double value;  // taken: the value; refused: the value kept from before
        const char* hint;
    };
    const Case cases[] = {
        {"Number", "2.5", true, 2.5, ""},
        {"Number", "2,5", true, 2.5, ""},
        {"Number", "-19,999", true, -19.999, ""},
        {"Number", "+3", true, 3.0, ""},
        {"Number", "20", true, 20.0, ""},
        {"Number", "150", false, 1.5,
         "Outside the limits. Not applied: enter a number from -20.000 to 20.000."},
        {"Number", "25", false, 1.5, "Outside the limits."},
        {"Number", "-25", false, 1.5, "Outside the limits."},
        {"Number", "20.0001", false, 1.5, "More than 3 decimals."},
        {"Number", "1,2345", false, 1.5, "More than 3 decimals."},
        {"Number", "abc", false, 1.5, "Not a number."},
        {"Number", "", false, 1.5, "Not a number."},
        {"Number", "1.2.3", false, 1.5, "Not a number."},
        {"Number", "1,000.5", false, 1.5, "Not a number."},
        {"Count", "512", true, 512.0, ""},
        {"Count", "513", false, 7.0, "Outside the limits. Not applied: enter a whole number from 0 to 512."},
        {"Count", "2.5", false, 7.0, "Not a whole number."},
    };
    for (const Case& c : cases) {
        const int panel = freshPanel();
        const std::string what = std::string(c.control) + " \"" + c.typed + "\"";
        ASSERT_EQ(OperateEnterValue(panel, c.control, c.typed), UI_SUCCESS) << what;
        double value = 0.0;
        GetCtrlVal(panel, c.control, &value);
        EXPECT_DOUBLE_EQ(value, c.value) << what;
        QAbstractSpinBox* spin = spinBox(c.control);
        ASSERT_NE(spin, nullptr);
        EXPECT_EQ(framedRed(spin), !c.taken) << what;
        if (c.taken) {
            if (std::string(c.control) == "Number") {
                EXPECT_THAT(commitsOf(eventsOf(c.control)),
                            ElementsAre(UI_EVENT_VAL_CHANGED, UI_EVENT_COMMIT))
                    << what;
            }
            continue;
        }
        EXPECT_THAT(commitsOf(eventsOf(c.control)), IsEmpty()) << what;
        EXPECT_EQ(spin->text().toStdString(), c.typed) << what << ": the entry stays as typed";
        EXPECT_THAT(QToolTip::text().toStdString(), HasSubstr(c.hint)) << what;
    }
}

TEST_P(NumericEntryTest, NumbersAreShownWithAPoint) {
    const int panel = freshPanel();
    SetCtrlVal(panel, "Number", -2.25);
    EXPECT_EQ(spinBox("Number")->text(), QStringLiteral("-2.250"));
    SetCtrlVal(panel, "Count", 4096);
    EXPECT_EQ(spinBox("Count")->text(), QStringLiteral("512"));
}

TEST_P(NumericEntryTest, ARefusedEntryStaysUntilCorrectedOrReplaced) {
    const int panel = freshPanel();
    QAbstractSpinBox* spin = spinBox("Number");
    OperateEnterValue(panel, "Number", "25");
    OperateKey(panel, "Number", UI_KEY_ENTER);
    OperateKey(panel, "Number", UI_KEY_BACKSPACE);
    EXPECT_EQ(spin->text(), QStringLiteral("2"));
    EXPECT_FALSE(framedRed(spin)) << "a number within the limits is no longer marked";
    EXPECT_THAT(commitsOf(eventsOf("Number")), IsEmpty()) << "nothing is taken before Enter";
    OperateKey(panel, "Number", UI_KEY_ENTER);
    EXPECT_THAT(commitsOf(eventsOf("Number")), ElementsAre(UI_EVENT_VAL_CHANGED, UI_EVENT_COMMIT));

    // The program's own write replaces a refused entry.
    OperateEnterValue(panel, "Number", "abc");
    SetCtrlVal(panel, "Number", 4.0);
    EXPECT_EQ(spin->text(), QStringLiteral("4.000"));
    EXPECT_FALSE(framedRed(spin));
}

TEST_P(NumericEntryTest, StepsStartFromTheValueTakenAndStayWithinTheLimits) {
    const int panel = freshPanel();
    SetCtrlVal(panel, "Number", 19.5);
    OperateEnterValue(panel, "Number", "150");
    recorder().events.clear();
    struct Step {
        int key;
        double value;
        bool committed;
    };
    for (const Step& step :
         {Step{UI_KEY_UP, 20.0, true}, Step{UI_KEY_UP, 20.0, false}, Step{UI_KEY_DOWN, 19.0, true}}) {
        recorder().events.clear();
        OperateKey(panel, "Number", step.key);
        double value = 0.0;
        GetCtrlVal(panel, "Number", &value);
        EXPECT_DOUBLE_EQ(value, step.value);
        EXPECT_EQ(!commitsOf(eventsOf("Number")).empty(), step.committed) << step.value;
    }
    EXPECT_FALSE(framedRed(spinBox("Number")));
}

TEST_P(NumericEntryTest, LeavingTheControlKeepsARefusedEntryAndCommitsNothing) {
    const int panel = freshPanel();
    QApplication::setActiveWindow(spinBox("Number")->window());
    SetActiveCtrl(panel, "Number");
    for (const char key : std::string("-25")) OperateKey(panel, "Number", key);
    SetActiveCtrl(panel, "Name");
    EXPECT_THAT(commitsOf(eventsOf("Number")), IsEmpty());
    EXPECT_THAT(spinBox("Number")->text().toStdString(), HasSubstr("-25"));
    EXPECT_TRUE(framedRed(spinBox("Number")));
}

INSTANTIATE_TEST_SUITE_P(Locales, NumericEntryTest,
                         ::testing::Values(OperatorLocale::C, OperatorLocale::German),
                         [](const auto& info) { return info.param == OperatorLocale::C ? "C" : "German"; });

}  // namespace
}  // namespace sfptest
