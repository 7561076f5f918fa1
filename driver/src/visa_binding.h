// VISA as the driver reaches it: the library named by KQ7120_VISA_LIBRARY (a path), else libvisa.so
// through the dynamic loader, is loaded on first use and each operation resolved by name, so the
// driver works with whichever VISA the system provides. When the library cannot be loaded or lacks
// an operation, every call returns VI_ERROR_LIBRARY_NFOUND and the reason goes to standard error once.
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
ViStatus setAttribute(ViObject object, ViAttr attribute, ViAttrState value);

// A16 register accesses and block moves.
ViStatus out16(ViSession session, ViUInt16 space, ViBusAddress offset, ViUInt16 value);
ViStatus moveOut16(ViSession session, ViUInt16 space, ViBusAddress offset, ViBusSize count,
                   const ViUInt16 words[]);
ViStatus mapAddress(ViSession session, ViUInt16 space, ViBusAddress offset, ViBusSize size, ViAddr* address);
// viPeek16 itself reports nothing; VI_ERROR_LIBRARY_NFOUND when it cannot be called.
ViStatus peek16(ViSession session, ViAddr address, ViUInt16* value);
ViStatus unmapAddress(ViSession session);

// Formatted I/O. The arguments go to VISA's variadic operations as given, so each must have exactly
// the type its conversion names (%d int, %ld ViInt32, %hd ViInt16, %lg double, %s a text).
using PrintfOperation = ViStatus (*)(ViSession, ViConstString, ...);
using QueryfOperation = ViStatus (*)(ViSession, ViConstString, ViConstString, ...);
PrintfOperation printfOperation();
QueryfOperation queryfOperation();

template <typename... Arguments>
ViStatus formattedWrite(ViSession session, ViConstString format, Arguments... arguments) {
    const PrintfOperation operation = printfOperation();
    return operation ? operation(session, format, arguments...) : VI_ERROR_LIBRARY_NFOUND;
}

template <typename... Arguments>
ViStatus formattedQuery(ViSession session, ViConstString writeFormat, ViConstString readFormat,
                        Arguments... arguments) {
    const QueryfOperation operation = queryfOperation();
    return operation ? operation(session, writeFormat, readFormat, arguments...) : VI_ERROR_LIBRARY_NFOUND;
}

// Name handed to the dynamic loader (KQ7120_VISA_LIBRARY or "libvisa.so"). Changing it drops the
// current binding; tests use it to see the driver without a loadable VISA.
void useLibrary(std::string fileName);

}  // namespace kq7120::visa
