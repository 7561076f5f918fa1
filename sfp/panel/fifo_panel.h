// The FIFO panel: channels with one raw waveform file each, interleaved into one period, repeated
// into blocks and streamed into the module's FIFO.
#pragma once

#include <cstdint>
#include <vector>

#include "kq7120.h"

// Menu entry: opens the panel.
void LoadFifoPanel(int menuBar, const char* menuItem, int panel);

// Control callbacks, bound by name from the form.
int FifoCheckBox(int panel, const char* control, int event, int eventData1, int* eventData2);
int selectChNext(int panel, const char* control, int event, int eventData1, int* eventData2);
int GetFifoWave(int panel, const char* control, int event, int eventData1, int* eventData2);
int FifoAdd(int panel, const char* control, int event, int eventData1, int* eventData2);
int FifoRemove(int panel, const char* control, int event, int eventData1, int* eventData2);
int fifoDataFmt(int panel, const char* control, int event, int eventData1, int* eventData2);
int fifoOperation(int panel, const char* control, int event, int eventData1, int* eventData2);
int ExitFifo(int panel, const char* control, int event, int eventData1, int* eventData2);

// The panel while it is open, else 0.
int fifoPanel();

inline constexpr std::int32_t kFifoBlockWords = 262144;

// How a stream of `periods` periods of `periodWords` words (more than 0) travels: `blocks` blocks
// of `periodsPerBlock` periods, then `singles` single periods.
struct FifoStreamPlan {
    std::int64_t periodsPerBlock = 0;
    std::int64_t blocks = 0;
    std::int64_t singles = 0;
};
FifoStreamPlan planFifoStream(std::int32_t periodWords, std::int64_t periods);

// One period: sample k of every channel in `channels` order, for k below `samplesPerChannel`.
std::vector<ViUInt16> interleavePeriod(const std::vector<const std::vector<ViUInt16>*>& channels,
                                       std::size_t samplesPerChannel);
