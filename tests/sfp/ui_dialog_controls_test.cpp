// Layer controls the configuration dialogs need: password fields that take typed keys only, list
// rows in tab-positioned columns, and graphs.
#include <gmock/gmock.h>

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <cmath>
#include <functional>

#include "panel_registry.h"
#include "ui_fixture.h"
#include "ui_operator.h"

namespace sfptest {
namespace {

using ::testing::ElementsAre;

class DialogControlsTest : public UiLayerTest {
protected:
    template <typename Widget>
    Widget* control(int panel, const char* name) {
        QWidget* widget = nullptr;
        EXPECT_EQ(sfpui::lookUpControl("test", panel, name, &widget), UI_SUCCESS);
        return qobject_cast<Widget*>(widget);
    }

    static std::string textOf(int panel, const char* name) {
        std::string text;
        GetCtrlVal(panel, name, &text);
        return text;
    }
};

// Ways text reaches a line edit other than typing it.
struct Injection {
    const char* name;
    std::function<void(QWidget*)> inject;
};

void sendKey(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QCoreApplication::sendEvent(widget, &release);
}

const Injection kInjections[] = {
    {"CtrlV", [](QWidget* w) { sendKey(w, Qt::Key_V, Qt::ControlModifier); }},
    {"ShiftInsert", [](QWidget* w) { sendKey(w, Qt::Key_Insert, Qt::ShiftModifier); }},
    {"Drop",
     [](QWidget* w) {
         QMimeData data;
         data.setText(QStringLiteral("pasted"));
         const QPointF centre = QRectF(w->rect()).center();
         QDragEnterEvent enter(centre.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
         QCoreApplication::sendEvent(w, &enter);
         QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
         QCoreApplication::sendEvent(w, &drop);
     }},
    {"InputMethod",
     [](QWidget* w) {
         QInputMethodEvent event;
         event.setCommitString(QStringLiteral("pasted"));
         QCoreApplication::sendEvent(w, &event);
     }},
};

class TypedKeysOnlyTest : public DialogControlsTest, public ::testing::WithParamInterface<Injection> {};

TEST_P(TypedKeysOnlyTest, TextThatIsNotTypedReachesAPlainEntryButNotAPasswordField) {
    const int panel = show("dialog_controls.ui");
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    for (const char* name : {"Secret", "Plain"}) {
        auto* entry = control<QLineEdit>(panel, name);
        entry->setFocus();
        GetParam().inject(entry);
    }
    EXPECT_EQ(textOf(panel, "Secret"), "");
    EXPECT_EQ(textOf(panel, "Plain"), "pasted") << "the injection works on an ordinary entry";
}

INSTANTIATE_TEST_SUITE_P(Injections, TypedKeysOnlyTest, ::testing::ValuesIn(kInjections),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DialogControlsTest, APasswordFieldTypesAtItsEndAndOffersNoContextMenu) {
    const int panel = show("dialog_controls.ui");
    for (const char* name : {"Secret", "Plain"}) {
        OperateKey(panel, name, 'a');
        OperateKey(panel, name, 'b');
        OperateKey(panel, name, UI_KEY_LEFT);
        OperateKey(panel, name, 'c');
        OperateKey(panel, name, UI_KEY_BACKSPACE);
        OperateKey(panel, name, 'd');
    }
    EXPECT_EQ(textOf(panel, "Secret"), "abd") << "the caret key had no effect";
    EXPECT_EQ(textOf(panel, "Plain"), "adb");
    // The callback still sees every key, modified ones included.
    int modified = 0;
    OperateKey(panel, "Secret", 'x' | UI_KEY_CONTROL_MODIFIER);
    for (const ControlEvent& event : eventsOf("Secret"))
        modified += event.event == UI_EVENT_KEYPRESS && (event.data1 & UI_KEY_CONTROL_MODIFIER) != 0 ? 1 : 0;
    EXPECT_EQ(modified, 1);
    EXPECT_EQ(textOf(panel, "Secret"), "abd");
    EXPECT_EQ(control<QLineEdit>(panel, "Secret")->contextMenuPolicy(), Qt::NoContextMenu);
    EXPECT_FALSE(control<QLineEdit>(panel, "Secret")->testAttribute(Qt::WA_InputMethodEnabled));
}

// Where ink starts in each column of the list's first row: a gap wider than 12 pixels starts a new one.
std::vector<int> inkColumnStarts(QListWidget* list) {
    const QImage image = list->viewport()->grab().toImage();
    const QRect row = list->visualItemRect(list->item(0)) & image.rect();
    std::vector<int> starts;
    int lastInk = -1000;
    for (int x = row.left(); x <= row.right(); ++x) {
        bool dark = false;
        for (int y = row.top(); y <= row.bottom() && !dark; ++y) dark = qGray(image.pixel(x, y)) < 128;
        if (!dark) continue;
        if (x - lastInk > 12) starts.push_back(x);
        lastInk = x;
    }
    return starts;
}

TEST_F(DialogControlsTest, ListRowsWithTabPositionsAreDrawnInColumns) {
    const int panel = show("dialog_controls.ui");
    const std::string label = "3\033p100l-5\033p200l7";
    ASSERT_EQ(InsertListItem(panel, "Table", -1, label.c_str(), 3), UI_SUCCESS);
    std::string stored;
    GetLabelFromIndex(panel, "Table", 0, &stored);
    EXPECT_EQ(stored, label) << "the label keeps its escapes";
    auto* list = control<QListWidget>(panel, "Table");
    EXPECT_EQ(list->item(0)->data(Qt::AccessibleTextRole).toString(), QStringLiteral("3\t-5\t7"));

    QCoreApplication::processEvents();
    const std::vector<int> starts = inkColumnStarts(list);
    ASSERT_EQ(starts.size(), 3u) << "three columns and no escape characters drawn";
    EXPECT_NEAR(starts[1] - starts[0], 100, 6);
    EXPECT_NEAR(starts[2] - starts[0], 200, 6);
}

TEST_F(DialogControlsTest, AGraphPlotsFiniteValuesAgainstTheirIndexAndMarksOne) {
    const int panel = show("dialog_controls.ui");
    const double values[] = {0.5, NAN, -2.0, 4.0};
    ASSERT_EQ(PlotValues(panel, "Plot", values, 4), UI_SUCCESS);
    int count = 0;
    GetGraphPointCount(panel, "Plot", &count);
    EXPECT_EQ(count, 3);
    double value = 0.0;
    GetGraphPoint(panel, "Plot", 2, &value);
    EXPECT_DOUBLE_EQ(value, 4.0);
    EXPECT_EQ(GetGraphPoint(panel, "Plot", 3, &value), UI_ERR_INDEX_OUT_OF_RANGE);
    ASSERT_EQ(SetGraphMarker(panel, "Plot", 3.0, "Stop Point"), UI_SUCCESS);
    double marker = 0.0;
    GetGraphMarker(panel, "Plot", &marker);
    EXPECT_DOUBLE_EQ(marker, 3.0);
    EXPECT_EQ(PlotValues(panel, "Plain", values, 4), UI_ERR_WRONG_TYPE);
    EXPECT_EQ(PlotValues(panel, "Plot", nullptr, 4), UI_ERR_INDEX_OUT_OF_RANGE);
}

}  // namespace
}  // namespace sfptest
