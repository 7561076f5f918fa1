#include "driver_status.h"

#include <string>

#include "decimal_text.h"
#include "front_panel_state.h"
#include "panel_layout.h"
#include "user_interface.h"

ViStatus ShowDriverStatus(ViStatus status) {
    FrontPanelState& state = frontPanel();
    if (status >= VI_SUCCESS) {
        SetCtrlVal(state.mainPanel, layout::kErrorIndicator, 0);
        return status;
    }
    SetCtrlVal(state.mainPanel, layout::kErrorIndicator, 1);
    if (status != kq7120_INSTRUMENT_ERROR && status != kq7120_DEVICE_NOT_READY) return status;

    ViInt32 errorCode = 0;
    ViChar errorText[256] = {};
    if (kq7120_errorQuery(state.instrHandle, &errorCode, errorText) < VI_SUCCESS) {
        MessagePopup("Error", "Error in querying System Error");
        return status;
    }
    errorText[sizeof errorText - 1] = '\0';
    if (errorCode != 0) {
        const std::string message = "Instrument Error : " + decimalText(errorCode) + ", " + errorText;
        MessagePopup("Error", message.c_str());
        SetCtrlVal(state.mainPanel, layout::kErrorIndicator, 1);
    }
    return status;
}
