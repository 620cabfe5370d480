#include "app/windows/CreationGuideModel.h"

#include "app/observation/Published.h"
#include "app/settings/AppSettings.h"
#include "app/windows/CardTexts.h"

namespace quillet {

CreationGuideModel::CreationGuideModel(AppSettings& settings, DesktopWords words)
    : settings_(settings), words_(std::move(words)) {}

std::string CreationGuideModel::trayLine() const {
    return words_.fill(words_.hasTray ? cardtexts::kGuideTrayBullet : linuxtexts::kGuideNoTrayBullet);
}

std::string CreationGuideModel::keyboardLine() const {
    return cardtexts::guideKeyboardLine(settings_.quickCreateShortcut.get(), words_.hasTray);
}

Subscription CreationGuideModel::observe(std::function<void()> changed) {
    return subscribeToAny(std::move(changed), settings_.quickCreateShortcut);
}

}  // namespace quillet
