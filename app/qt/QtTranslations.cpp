#include "app/qt/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace vandrel {

void UseQtTranslations(int uiLanguage) {
    static int current = 0;  // without a translator Qt speaks English
    static QPointer<QTranslator> german;
    const int wanted = uiLanguage == 1 ? 1 : 0;
    if (wanted == current || !QCoreApplication::instance()) return;
    current = wanted;
    delete german;  // leaves the application's list of translators by itself
    if (wanted == 0) return;
    german = new QTranslator(QCoreApplication::instance());
    // "qt" names the catalogue that pulls in qtbase and the other modules.
    if (german->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qt"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(german);
}

}  // namespace vandrel
