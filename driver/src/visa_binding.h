// VISA as the driver reaches it: libvisa.so is loaded through the dynamic loader on first use and
// each operation resolved by name, so the driver works with whichever VISA the system provides.
// When the library (or an operation) cannot be found, every call returns VI_ERROR_LIBRARY_NFOUND.
#pragma once

#include <string>

#include "visa.h"

namespace kq7120::visa {

ViStatus openDefaultRM(ViSession* resourceManager);
ViStatus open(ViSession resourceManager, ViConstRsrc descriptor, ViSession* session);
ViStatus close(ViObject object);
ViStatus findRsrc(ViSession resourceManager, ViConstString expression, ViFindList* list, ViUInt32* count,
                  ViChar descriptor[]);
ViStatus findNext(ViFindList list, ViChar descriptor[]);
ViStatus getAttribute(ViObject object, ViAttr attribute, void* value);
ViStatus write(ViSession session, const void* bytes, ViUInt32 count, ViUInt32* written);
ViStatus read(ViSession session, void* buffer, ViUInt32 count, ViUInt32* received);
ViStatus statusDesc(ViObject object, ViStatus status, ViChar text[]);

// Name handed to the dynamic loader ("libvisa.so"). Changing it drops the current binding; tests use
// it to see the driver without a loadable VISA.
void useLibrary(std::string fileName);

}  // namespace kq7120::visa
