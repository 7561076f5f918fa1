#include "module_error.h"

#include <array>

#include "front_panel_state.h"
#include "user_interface.h"

void showModuleError(ViStatus status, const char* otherwise) {
    if (status != kq7120_INSTRUMENT_ERROR) {
        MessagePopup("ERROR", otherwise);
        return;
    }
    ViInt32 code = 0;
    std::array<ViChar, 256> text{};
    kq7120_errorQuery(frontPanel().instrHandle, &code, text.data());
    MessagePopup("ERROR", text.data());
}
