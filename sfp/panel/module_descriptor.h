// The VISA resource descriptor of a module found by the chassis scan.
#pragma once

#include <string>

#include "kq7120.h"

// "VXI<interface>::<logical address>::INSTR", or "GPIB-VXI..." for a chassis behind a GPIB-VXI bridge.
std::string moduleDescriptor(ViInt16 interfaceType, ViInt16 interfaceNumber, ViInt16 logicalAddress);
