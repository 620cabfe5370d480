#pragma once

#include <string>

namespace quillet {

// A shared library loaded by the call that needs it rather than at every start: what a short
// command rarely uses (the journal, the session bus) then costs it nothing, not even the loading
// and relocating of the library and all it depends on. The library stays loaded for the rest of
// the process once it was loaded (it may be in use by the host process too), unless it is asked
// to go with the object.
class OnDemandLibrary {
public:
    enum class Lifetime {
        process,
        // Unloaded with the object, for a library with no threads or exit handlers of its own that
        // idle does not need: its pages then leave the process (unless something else loaded it).
        // Nothing it returned may be used afterwards.
        object,
    };
    // Loads `soname` ("libsystemd.so.0", or a module's path); loaded() tells whether that
    // worked, and error() why not.
    explicit OnDemandLibrary(const char* soname, Lifetime lifetime = Lifetime::process);
    ~OnDemandLibrary();
    OnDemandLibrary(const OnDemandLibrary&) = delete;
    OnDemandLibrary& operator=(const OnDemandLibrary&) = delete;

    bool loaded() const { return handle_ != nullptr; }
    // The dynamic loader's reason when loading failed; empty otherwise.
    const std::string& error() const { return error_; }

    // The library's function `name`, with the type of the declaration given as F (take it from
    // the library's header: decltype(sd_bus_new)); null when the library or the name is missing.
    template <typename F>
    F* function(const char* name) const {
        return reinterpret_cast<F*>(address(name));
    }

private:
    void* address(const char* name) const;
    void* handle_ = nullptr;
    std::string error_;
};

}  // namespace quillet
