#include "visa_attribute.h"

#include <dlfcn.h>

namespace {

using GetAttribute = ViStatus (*)(ViObject, ViAttr, void*);

GetAttribute boundGetAttribute()
{
    static const GetAttribute function = [] {
        void* library = dlopen("libvisa.so", RTLD_NOW | RTLD_LOCAL);
        return library != nullptr ? reinterpret_cast<GetAttribute>(dlsym(library, "viGetAttribute")) : nullptr;
    }();
    return function;
}

}  // namespace

ViStatus getVisaAttribute(ViObject object, ViAttr attribute, void* value)
{
    const GetAttribute function = boundGetAttribute();
    return function != nullptr ? function(object, attribute, value) : VI_ERROR_LIBRARY_NFOUND;
}
