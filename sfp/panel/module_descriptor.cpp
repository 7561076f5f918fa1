#include "module_descriptor.h"

#include "decimal_text.h"

std::string moduleDescriptor(ViInt16 interfaceType, ViInt16 interfaceNumber, ViInt16 logicalAddress) {
    const char* prefix = interfaceType == kq7120_GPIB_VXI_CONNECTION ? "GPIB-VXI" : "VXI";
    return prefix + decimalText(interfaceNumber) + "::" + decimalText(logicalAddress) + "::INSTR";
}
