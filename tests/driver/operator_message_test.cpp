// A program without a user interface: the module's complaints about a line go to standard error and
// the call returns at once. No MessagePopup exists in this executable.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "driver_test_support.h"
#include "kq7120.h"

namespace {

using kqtest::DriverTest;

TEST_F(DriverTest, ComplaintsGoToStandardError) {
    ASSERT_EQ(dlsym(RTLD_DEFAULT, "MessagePopup"), nullptr);
    const ViSession session = open(kqtest::kKq7120Descriptor);
    testing::internal::CaptureStderr();
    EXPECT_EQ(txCmdBuff(session, "*CLS"), VI_SUCCESS);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    testing::internal::CaptureStderr();
    EXPECT_EQ(txCmdBuff(session, "NO:SUCH:COMMAND"), VI_SUCCESS);
    // The title, then the error queue's text as the module gives it.
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "ERROR: \"Undefined header\"\n");
}

}  // namespace
