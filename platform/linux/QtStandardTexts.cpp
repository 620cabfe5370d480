#include "platform/linux/QtStandardTexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace quillet {

void installQtStandardTexts(QCoreApplication& application) {
    // The application owns it, so it lives as long as the texts it gives.
    auto* translator = new QTranslator(&application);
    // QLocale's languages follow LANGUAGE, LC_ALL, LC_MESSAGES and LANG, as gettext does.
    if (translator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

}  // namespace quillet
