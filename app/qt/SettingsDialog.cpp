#include "app/qt/SettingsDialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

#include "app/Texts.h"
#include "app/qt/CaptionFont.h"
#include "app/qt/QtText.h"
#include "app/qt/QtWidgets.h"

namespace vandrel {

namespace {

constexpr int kWidth = 380;
constexpr int kHeight = 170;

void PutAt(QWidget* widget, int id, const char* name, int x, int y, int width, int height) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setProperty("controlId", id);
    widget->setGeometry(x, y, width, height);
}

}  // namespace

SettingsDialog::SettingsDialog(Language uiLanguage, QWidget* parent) : QDialog(parent), language_(uiLanguage) {
    MakeFixedDialog(this, kWidth, kHeight);
    setWindowTitle(ToQString(Tr(texts::SettingsTitle, uiLanguage)));

    auto* frame = new QGroupBox(ToQString(Tr(texts::LanguageFrame, uiLanguage)), this);
    PutAt(frame, 37, "LanguageFrame", 20, 20, 340, 50);

    list_ = new QComboBox(this);
    list_->setEditable(false);
    list_->addItem(ToQString(Tr(texts::LanguageEnglish, uiLanguage)));
    list_->addItem(ToQString(Tr(texts::LanguageGerman, uiLanguage)));
    list_->setCurrentIndex(SettingOfLanguage(language_));
    PutAt(list_, 38, "LanguageList", 30, 40, 320, 20);

    auto* ok = new QPushButton(ToQString(Tr(texts::Ok, uiLanguage)), this);
    PutAt(ok, 39, "SettingsOkButton", 20, 120, 100, 30);
    auto* cancel = new QPushButton(ToQString(Tr(texts::Cancel, uiLanguage)), this);
    PutAt(cancel, 40, "SettingsCancelButton", 140, 120, 100, 30);
    auto* apply = new QPushButton(ToQString(Tr(texts::Apply, uiLanguage)), this);
    PutAt(apply, 41, "SettingsApplyButton", 260, 120, 100, 30);
    for (QPushButton* button : {ok, cancel, apply}) button->setAutoDefault(false);
    ok->setDefault(true);
    FitCaptionFont(frame, frame->title());
    for (QPushButton* button : {ok, cancel, apply}) FitCaptionFont(button, button->text());

    connect(ok, &QPushButton::clicked, this, [this] {
        Store();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(apply, &QPushButton::clicked, this, &SettingsDialog::Store);

    CentreOnScreen(this);
}

void SettingsDialog::Store() { language_ = LanguageOfSetting(list_->currentIndex()); }

QWidget* SettingsDialog::Control(int id) const {
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->property("controlId").isValid() && child->property("controlId").toInt() == id) return child;
    return nullptr;
}

}  // namespace vandrel
