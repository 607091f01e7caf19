#pragma once
// The Settings dialog: the interface language.
#include <QDialog>

#include "output/Language.h"

class QComboBox;

namespace vandrel {

// Controls 37 to 41 with their ids in the property "controlId". OK stores the
// chosen row as the language and leaves; Apply stores it and stays; Cancel and
// the close button leave and keep what was stored before (an Apply included).
class SettingsDialog : public QDialog {
    Q_OBJECT

public:
    SettingsDialog(Language uiLanguage, QWidget* parent = nullptr);
    // The language as stored by OK or Apply; the starting one otherwise.
    vandrel::Language Chosen() const { return language_; }
    QWidget* Control(int id) const;

private:
    void Store();

    vandrel::Language language_;
    QComboBox* list_ = nullptr;
};

}  // namespace vandrel
