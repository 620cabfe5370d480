#include "shared/OnDemandLibrary.h"

#include <dlfcn.h>

namespace quillet {

// Kept for the process by default: a library with threads or exit handlers of its own must not
// go while they may run. Unloading drops only this reference; a host that loaded the library too
// keeps it.
OnDemandLibrary::OnDemandLibrary(const char* soname, Lifetime lifetime)
    : handle_(::dlopen(soname, RTLD_NOW | RTLD_LOCAL | (lifetime == Lifetime::process ? RTLD_NODELETE : 0))) {
    if (handle_) return;
    const char* said = ::dlerror();
    error_ = said ? said : soname;
}

OnDemandLibrary::~OnDemandLibrary() {
    if (handle_) ::dlclose(handle_);
}

void* OnDemandLibrary::address(const char* name) const { return handle_ ? ::dlsym(handle_, name) : nullptr; }

}  // namespace quillet
