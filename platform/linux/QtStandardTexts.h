#pragma once

class QCoreApplication;

namespace quillet {

// The texts Qt draws itself (the standard buttons, the folder dialog, a text field's context
// menu) in the session's language, from Qt's own catalogues where the system has them
// (qt6-translations-l10n); English otherwise. Quillet+'s own texts come from its gettext catalogue.
void installQtStandardTexts(QCoreApplication& application);

}  // namespace quillet
