// The VISA operations the front panel calls itself: the slot attribute and the I/O timeout. VISA is
// found at run time, as the driver finds it, so the program runs on whichever VISA the system
// provides.
#pragma once

#include "visa.h"

// viGetAttribute and viSetAttribute; VI_ERROR_LIBRARY_NFOUND when no VISA library can be loaded.
ViStatus getVisaAttribute(ViObject object, ViAttr attribute, void* value);
ViStatus setVisaAttribute(ViObject object, ViAttr attribute, ViAttrState value);
