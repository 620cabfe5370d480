#pragma once

namespace quillet {

// How the application appears among the running ones: regular windows are listed in the
// taskbar and the application switcher; an accessory application's windows are left out.
enum class ActivationPolicyKind { regular, accessory };

class ActivationPolicy {
public:
    virtual ~ActivationPolicy() = default;
    virtual void setActivationPolicy(ActivationPolicyKind policy) = 0;
    virtual ActivationPolicyKind activationPolicy() const = 0;
};

}  // namespace quillet
