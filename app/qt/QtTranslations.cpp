#include "app/qt/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace vandrel {

void UseQtTranslations(int uiLanguage) {
    static int current = -1;  // nothing chosen yet: the desktop's locale, Qt's English
    static QPointer<QTranslator> german;
    const int wanted = uiLanguage == 1 ? 1 : 0;
    if (wanted == current || !QCoreApplication::instance()) return;
    current = wanted;
    // Dates, sizes and file types in Qt's dialogs follow the language too.
    QLocale::setDefault(wanted == 1 ? QLocale(QLocale::German, QLocale::Germany)
                                    : QLocale(QLocale::English, QLocale::UnitedStates));
    delete german;  // leaves the application's list of translators by itself
    if (wanted == 0) return;
    german = new QTranslator(QCoreApplication::instance());
    // "qt" names the catalogue that pulls in qtbase and the other modules.
    if (german->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qt"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(german);
}

}  // namespace vandrel
