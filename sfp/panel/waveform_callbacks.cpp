#include "waveform_callbacks.h"

#include <array>

#include "arb_run_panel.h"
#include "arb_segment_panel.h"
#include "arb_sequence_panel.h"
#include "arb_setup_file.h"
#include "fifo_panel.h"

std::span<const UiCallback> waveformPanelCallbacks() {
    static const std::array<UiCallback, 33> callbacks = {{
        {"LoadFifoPanel", MenuCallback{LoadFifoPanel}},
        {"FifoCheckBox", ControlCallback{FifoCheckBox}},
        {"selectChNext", ControlCallback{selectChNext}},
        {"GetFifoWave", ControlCallback{GetFifoWave}},
        {"FifoAdd", ControlCallback{FifoAdd}},
        {"FifoRemove", ControlCallback{FifoRemove}},
        {"fifoDataFmt", ControlCallback{fifoDataFmt}},
        {"fifoOperation", ControlCallback{fifoOperation}},
        {"ExitFifo", ControlCallback{ExitFifo}},
        {"arbDefineSegment", MenuCallback{arbDefineSegment}},
        {"SegMgtCheckBox", ControlCallback{SegMgtCheckBox}},
        {"ApplyScanArb", ControlCallback{ApplyScanArb}},
        {"ChgSegNbr", ControlCallback{ChgSegNbr}},
        {"GetWaveformFile", ControlCallback{GetWaveformFile}},
        {"SegMgtAdd", ControlCallback{SegMgtAdd}},
        {"SegMgtRemove", ControlCallback{SegMgtRemove}},
        {"defSegNext", ControlCallback{defSegNext}},
        {"ExitSegMgt", ControlCallback{ExitSegMgt}},
        {"arbSeqPanel", MenuCallback{arbSeqPanel}},
        {"seqAdd", ControlCallback{seqAdd}},
        {"seqRemove", ControlCallback{seqRemove}},
        {"seqSetParms", ControlCallback{seqSetParms}},
        {"seqListSelect", ControlCallback{seqListSelect}},
        {"seqExit", ControlCallback{seqExit}},
        {"arbPanel", MenuCallback{arbPanel}},
        {"loadArb", ControlCallback{loadArb}},
        {"arbOperation", ControlCallback{arbOperation}},
        {"arbDataFmt", ControlCallback{arbDataFmt}},
        {"SetMarkerParms", ControlCallback{SetMarkerParms}},
        {"queryData", ControlCallback{queryData}},
        {"arbPanelExit", ControlCallback{arbPanelExit}},
        {"mnuSaveArbSetup", MenuCallback{mnuSaveArbSetup}},
        {"mnuOpenArbSetup", MenuCallback{mnuOpenArbSetup}},
    }};
    return callbacks;
}
