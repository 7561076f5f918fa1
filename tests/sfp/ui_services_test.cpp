// Pop-ups, their capture, the exported entry points, and the run-time services.
#include <dlfcn.h>
#include <gmock/gmock.h>

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "panel_registry.h"
#include "ui_fixture.h"
#include "ui_popup_capture.h"

namespace sfptest {
namespace {

using ::testing::ElementsAre;
using ::testing::Field;

TEST_F(UiLayerTest, CapturedPopupsRecordTitleAndTextAndReturnAtOnce) {
    MessagePopup("ERROR", "Device not open");
    MessagePopup("Error", "Instrument Error : -113, \"Undefined header\"");
    EXPECT_THAT(
        CapturedPopups(),
        ElementsAre(
            AllOf(Field(&CapturedPopup::title, "ERROR"), Field(&CapturedPopup::text, "Device not open")),
            AllOf(Field(&CapturedPopup::title, "Error"),
                  Field(&CapturedPopup::text, "Instrument Error : -113, \"Undefined header\""))));
    ClearCapturedPopups();
    EXPECT_TRUE(CapturedPopups().empty());
}

TEST_F(UiLayerTest, ALibraryFindsTheExportedEntryPointsAtRunTime) {
    using Popup = int (*)(const char*, const char*);
    auto popup = reinterpret_cast<Popup>(dlsym(RTLD_DEFAULT, "MessagePopup"));
    ASSERT_NE(popup, nullptr);
    popup("ERROR", "from a library");
    ASSERT_EQ(CapturedPopups().size(), 1u);
    EXPECT_EQ(CapturedPopups()[0].text, "from a library");
    EXPECT_NE(dlsym(RTLD_DEFAULT, "Delay"), nullptr);
}

TEST_F(UiLayerTest, FileSelectionAnswersInTurnAndCancelsWhenNoneIsQueued) {
    QueueFileSelection("/tmp/wave.b16");
    QueueFileSelection("");
    std::string path;
    EXPECT_EQ(FileSelectPopup("", "*.b16", "*.b16;*.wav", "Select waveform", "Load", 1, &path), 1);
    EXPECT_EQ(path, "/tmp/wave.b16");
    EXPECT_EQ(FileSelectPopup("", "*.b16", "", "Select waveform", "Load", 1, &path), 0);
    EXPECT_EQ(FileSelectPopup("", "*.b16", "", "Select waveform", "Load", 1, &path), 0);
    EXPECT_EQ(CapturedPopups().size(), 3u);
    EXPECT_EQ(CapturedPopups()[0].title, "Select waveform");
}

TEST_F(UiLayerTest, FileSizeOfAFileAndOfAMissingOne) {
    const auto path = std::filesystem::temp_directory_path() / "sfp_ui_file_size.bin";
    std::ofstream(path, std::ios::binary) << std::string(6000, '\x7f');
    long long size = -1;
    EXPECT_EQ(GetFileSize(path.c_str(), &size), UI_SUCCESS);
    EXPECT_EQ(size, 6000);
    std::filesystem::remove(path);
    EXPECT_EQ(GetFileSize(path.c_str(), &size), UI_ERR_FILE);
}

TEST_F(UiLayerTest, DelayBlocksForItsTimeAndIgnoresNonsense) {
    const auto start = std::chrono::steady_clock::now();
    Delay(0.0);
    Delay(-5.0);
    Delay(std::nan(""));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
    Delay(0.02);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(20));
    Beep();
}

// Counts the paints of one widget.
class PaintWatch : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
    int paints = 0;
};

TEST_F(UiLayerTest, DrawEventsPaintATextSetBeforeABlockingCall) {
    const int panel = show("controls.ui");
    QWidget* message = nullptr;
    ASSERT_EQ(sfpui::lookUpControl("test", panel, "Message", &message), UI_SUCCESS);
    QCoreApplication::processEvents();
    PaintWatch watch;
    message->installEventFilter(&watch);

    SetCtrlVal(panel, "Message", "Calibration in progress...");
    EXPECT_EQ(watch.paints, 0);
    ProcessDrawEvents();
    EXPECT_GE(watch.paints, 1);
    message->removeEventFilter(&watch);
}

}  // namespace
}  // namespace sfptest
