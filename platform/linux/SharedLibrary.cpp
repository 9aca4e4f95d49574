#include "platform/linux/SharedLibrary.h"

#include <dlfcn.h>

namespace varnoset {

SharedLibrary::SharedLibrary(const char* soname)
    : handle_(::dlopen(soname, RTLD_NOW | RTLD_LOCAL)) {}

void* SharedLibrary::symbol(const char* name) const {
    return handle_ == nullptr ? nullptr : ::dlsym(handle_, name);
}

}  // namespace varnoset
