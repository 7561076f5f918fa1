#include "waveform_panel_tour.h"

#include <cstdio>
#include <string>

#include "arb_run_panel.h"
#include "arb_segment_panel.h"
#include "arb_sequence_panel.h"
#include "fifo_panel.h"
#include "front_panel_state.h"
#include "ui_operator.h"
#include "ui_popup_capture.h"
#include "user_interface.h"
#include "waveform_reading.h"

namespace {

std::string sample(const char* name) { return sampleWaveformDirectory() + "/" + name; }

void attachFile(int panel, const char* fileButton, const char* addButton, const std::string& path) {
    QueueFileSelection(path);
    OperateCommit(panel, fileButton);
    OperateCommit(panel, addButton);
}

}  // namespace

bool tourWaveformPanels(const QString& folder, SaveWindow save) {
    const int menuBar = frontPanel().mainMenuBar;
    bool saved = true;

    OperateMenuItem(menuBar, "ArbSegmentsEntry");
    const int segments = arbSegmentPanel();
    OperateCommit(segments, "SegChannelCheck1");
    OperateCommit(segments, "SegChannelCheck2");
    OperateCommit(segments, "SegApplyChannelsButton");
    OperateEnterValue(segments, "SegNumberField", "1");
    attachFile(segments, "SegFileButton", "SegAddButton", sample("ramp-3000.b16"));
    OperateEnterValue(segments, "SegNumberField", "0");
    OperateSelect(segments, "SegChannelList", 0);
    attachFile(segments, "SegFileButton", "SegAddButton", sample("square-3000.b16"));
    OperateSelect(segments, "SegChannelList", 1);
    attachFile(segments, "SegFileButton", "SegAddButton", sample("sine-3000.b16"));
    saved &= save(QStringLiteral("ARB Segments"), folder, "arb_segment_panel.png");
    OperateCommit(segments, "SegCloseButton");

    OperateMenuItem(menuBar, "ArbSequenceEntry");
    const int sequence = arbSequencePanel();
    for (const int segment : {1, 0, 1}) {
        OperateSelect(sequence, "SeqSegmentList", segment);
        OperateCommit(sequence, "SeqAppendButton");
    }
    OperateSelect(sequence, "SeqStepList", 1);
    OperateEnterValue(sequence, "SeqRepeatField", "4");
    saved &= save(QStringLiteral("ARB Sequence"), folder, "arb_sequence_panel.png");
    OperateCommit(sequence, "SeqCloseButton");

    OperateMenuItem(menuBar, "ArbRunEntry");
    const int run = arbRunPanel();
    OperateCommit(run, "ArbLoadButton");
    OperateCommit(run, "ArbRunSwitch");
    OperateEnterValue(run, "ArbReadChannelField", "2");
    OperateCommit(run, "ArbReadBackButton");
    saved &= save(QStringLiteral("ARB Run"), folder, "arb_run_panel.png");
    OperateCommit(run, "ArbCloseButton");

    OperateMenuItem(menuBar, "FifoMenuEntry");
    const int fifo = fifoPanel();
    OperateCommit(fifo, "FifoChannelCheck1");
    OperateCommit(fifo, "FifoChannelCheck2");
    OperateCommit(fifo, "FifoNextButton");
    OperateSelect(fifo, "FifoChannelSelector", 0);
    attachFile(fifo, "FifoFileButton", "FifoAddButton", sample("ramp-1000.b16"));
    OperateSelect(fifo, "FifoChannelSelector", 1);
    attachFile(fifo, "FifoFileButton", "FifoAddButton", sample("sine-1000.b16"));
    SetCtrlVal(fifo, "FifoPeriodsField", 100);
    saved &= save(QStringLiteral("FIFO Waveform"), folder, "fifo_panel.png");
    OperateCommit(fifo, "FifoCloseButton");

    for (const CapturedPopup& popup : CapturedPopups()) {
        if (popup.text == "file selection") continue;
        std::fprintf(stderr, "screenshot_tour: unexpected pop-up %s: %s\n", popup.title.c_str(),
                     popup.text.c_str());
        saved = false;
    }
    ClearCapturedPopups();
    return saved;
}
