// Loading forms: binding by callback name, and the ways a form can be unusable.
#include <gmock/gmock.h>

#include "qt_application.h"
#include "ui_fixture.h"
#include "ui_operator.h"

namespace sfptest {
namespace {

using ::testing::HasSubstr;

TEST_F(UiLayerTest, EveryTestFormLoadsWithItsCallbacksBound) {
    for (const char* form : {"controls.ui", "clickable.ui", "menu_window.ui"})
        EXPECT_GT(show(form), 0) << form;
}

TEST_F(UiLayerTest, UnusableFormsFailToLoadWithTheReasonOnStderr) {
    struct Case {
        const char* form;
        const char* reason;
    };
    const Case cases[] = {
        {"missing.ui", "cannot open form"},
        {"broken.ui", "cannot build form"},
        {"unknown_callback.ui",
         "\"Apply\" names callback \"NoSuchCallback\", which the program does not have"},
        {"wrong_kind_callback.ui",
         "\"Apply\" names callback \"MenuPicked\", which is not a control callback"},
    };
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(LoadPanel(0, c.form), UI_ERR_LOAD_FAILED) << c.form;
        EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr(c.reason)) << c.form;
    }
}

TEST_F(UiLayerTest, AChildOfAnUnknownPanelDoesNotLoad) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(LoadPanel(999, "controls.ui"), UI_ERR_LOAD_FAILED);
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr("no panel with handle 999"));
}

TEST_F(UiLayerTest, AnUnknownControlNameIsAnErrorNamingIt) {
    const int panel = show("controls.ui");
    testing::internal::CaptureStderr();
    EXPECT_EQ(SetCtrlVal(panel, "Nonexistent", 1), UI_ERR_INVALID_CONTROL);
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr("has no control \"Nonexistent\""));
}

TEST_F(UiLayerTest, DiscardingAPanelDiscardsItsChildren) {
    const int parent = show("controls.ui");
    const int child = show("clickable.ui", parent);
    ASSERT_EQ(DiscardPanel(parent), UI_SUCCESS);
    testing::internal::CaptureStderr();
    int visible = 0;
    EXPECT_EQ(GetPanelAttribute(child, UI_ATTR_VISIBLE, &visible), UI_ERR_INVALID_PANEL);
    EXPECT_EQ(GetPanelAttribute(parent, UI_ATTR_VISIBLE, &visible), UI_ERR_INVALID_PANEL);
    testing::internal::GetCapturedStderr();
    finishDiscards();
}

TEST_F(UiLayerTest, ACallbackMayDiscardItsOwnPanel) {
    recorder().discardOnCommit = "Done";
    const int panel = show("menu_window.ui");
    EXPECT_EQ(OperateCommit(panel, "Done"), UI_SUCCESS);
    finishDiscards();
    testing::internal::CaptureStderr();
    int visible = 0;
    EXPECT_EQ(GetPanelAttribute(panel, UI_ATTR_VISIBLE, &visible), UI_ERR_INVALID_PANEL);
    testing::internal::GetCapturedStderr();
}

TEST_F(UiLayerTest, PanelHandlesAreNeverReused) {
    const int first = show("clickable.ui");
    DiscardPanel(first);
    const int second = show("clickable.ui");
    EXPECT_NE(first, second);
}

}  // namespace
}  // namespace sfptest
