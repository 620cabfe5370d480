#pragma once

#include <QObject>

#include "platform/ActivationPolicy.h"

class QWidget;

namespace quillet {

// Qt's side of the activation policy. An accessory application's ordinary windows are made tool
// windows, which taskbars and application switchers leave out; regular turns them back. Windows
// that appear later are adjusted right after they are shown.
class QtActivationPolicy final : public QObject, public ActivationPolicy {
public:
    QtActivationPolicy();
    ~QtActivationPolicy() override;

    void setActivationPolicy(ActivationPolicyKind policy) override;
    ActivationPolicyKind activationPolicy() const override { return policy_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void apply(QWidget& window);

    ActivationPolicyKind policy_ = ActivationPolicyKind::regular;
};

}  // namespace quillet
