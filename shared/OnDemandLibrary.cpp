#include "shared/OnDemandLibrary.h"

#include <dlfcn.h>

namespace quillet {

// Never unloaded: a library with threads or exit handlers of its own must not go while they may
// run, and the host process may have loaded it as well.
OnDemandLibrary::OnDemandLibrary(const char* soname)
    : handle_(::dlopen(soname, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE)) {
    if (handle_) return;
    const char* said = ::dlerror();
    error_ = said ? said : soname;
}

OnDemandLibrary::~OnDemandLibrary() {
    if (handle_) ::dlclose(handle_);
}

void* OnDemandLibrary::address(const char* name) const { return handle_ ? ::dlsym(handle_, name) : nullptr; }

}  // namespace quillet
