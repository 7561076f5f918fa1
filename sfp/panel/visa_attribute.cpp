#include "visa_attribute.h"

#include <dlfcn.h>

namespace {

using GetAttribute = ViStatus (*)(ViObject, ViAttr, void*);
using SetAttribute = ViStatus (*)(ViObject, ViAttr, ViAttrState);

void* visaLibrary() {
    static void* const library = dlopen("libvisa.so", RTLD_NOW | RTLD_LOCAL);
    return library;
}

template <typename Function>
Function bound(const char* name) {
    void* library = visaLibrary();
    return library != nullptr ? reinterpret_cast<Function>(dlsym(library, name)) : nullptr;
}

}  // namespace

ViStatus getVisaAttribute(ViObject object, ViAttr attribute, void* value) {
    static const GetAttribute function = bound<GetAttribute>("viGetAttribute");
    return function != nullptr ? function(object, attribute, value) : VI_ERROR_LIBRARY_NFOUND;
}

ViStatus setVisaAttribute(ViObject object, ViAttr attribute, ViAttrState value) {
    static const SetAttribute function = bound<SetAttribute>("viSetAttribute");
    return function != nullptr ? function(object, attribute, value) : VI_ERROR_LIBRARY_NFOUND;
}
