#include "app/qt/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>
#include <optional>

namespace vandrel {

void UseQtTranslations(Language uiLanguage) {
    static std::optional<Language> current;  // nothing chosen yet: the desktop's locale, Qt's English
    static QPointer<QTranslator> german;
    if (uiLanguage == current || !QCoreApplication::instance()) return;
    current = uiLanguage;
    // Dates, sizes and file types in Qt's dialogs follow the language too.
    QLocale::setDefault(uiLanguage == Language::German ? QLocale(QLocale::German, QLocale::Germany)
                                    : QLocale(QLocale::English, QLocale::UnitedStates));
    delete german;  // leaves the application's list of translators by itself
    if (uiLanguage == Language::English) return;
    german = new QTranslator(QCoreApplication::instance());
    // "qt" names the catalogue that pulls in qtbase and the other modules.
    if (german->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qt"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(german);
}

}  // namespace vandrel
