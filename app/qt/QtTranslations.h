#pragma once
// Qt's own texts (the buttons of message boxes, the file and print dialogs) in
// the program's language, from Qt's translations (Debian qt6-translations-l10n).

#include "output/Language.h"

namespace vandrel {

// Switching loads or drops Qt's German texts;
// dialogs opened from then on speak the language, and show numbers, dates and
// sizes as its locale writes them. Without the translation files Qt's texts stay English.
void UseQtTranslations(Language uiLanguage);

}  // namespace vandrel
