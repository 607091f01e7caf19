// The dialogs as the user meets them: the Settings dialog, the About window and
// its picture, the open dialog and the message boxes, each answering as it should.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "app/Texts.h"
#include "app/qt/AboutWindow.h"
#include "app/qt/EmbeddedPictures.h"
#include "app/qt/JpegPicture.h"
#include "app/qt/QtText.h"
#include "app/qt/SettingsDialog.h"

namespace vandrel {
namespace {

using test::WhenModalOpens;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }
template <class W>
QString TextOf(QWidget* w) { return qobject_cast<W*>(w)->text(); }

TEST(SettingsDialogTest, ItsTextsInBothLanguages) {
    for (const auto& [language, title, frame, english, german, cancel, apply] :
         {std::tuple{Language::English, " Settings", "Language", "English", "German", "Cancel", "Apply"},
          std::tuple{Language::German, " Einstellungen", "Sprache", "Englisch", "Deutsch", "Abbrechen", "\xC3\x9C" "bernehmen"}}) {
        SettingsDialog dialog(language);
        EXPECT_EQ(dialog.windowTitle(), U(title));
        EXPECT_EQ(dialog.size(), QSize(380, 170));
        EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
        EXPECT_EQ(qobject_cast<QGroupBox*>(dialog.Control(37))->title(), U(frame));
        auto* list = qobject_cast<QComboBox*>(dialog.Control(38));
        EXPECT_EQ((QStringList{list->itemText(0), list->itemText(1)}), (QStringList{U(english), U(german)}));
        EXPECT_EQ(list->currentIndex(), SettingOfLanguage(language));
        EXPECT_EQ(TextOf<QPushButton>(dialog.Control(39)), "OK");
        EXPECT_EQ(TextOf<QPushButton>(dialog.Control(40)), U(cancel));
        EXPECT_EQ(TextOf<QPushButton>(dialog.Control(41)), U(apply));
    }
}

// Every caption of a dialog shows whole, in both languages.
void ExpectCaptionsFit(QWidget& dialog) {
    for (QWidget* c : test::CaptionedChildren(&dialog))
        EXPECT_LE(test::CaptionNeeds(c), c->width()) << c->objectName().toStdString();
}

TEST(DialogCaptions, FitTheirControlsInBothLanguagesWhateverTheDesktopsFont) {
    const AboutResources about = LoadAboutResources();
    const QFont standard = QApplication::font();
    for (qreal points : {standard.pointSizeF(), 20.0}) {
        QFont font = standard;
        font.setPointSizeF(points);
        QApplication::setFont(font);
        for (Language language : {Language::English, Language::German}) {
            SCOPED_TRACE(testing::Message() << points << " points, language " << SettingOfLanguage(language));
            SettingsDialog settings(language);
            ExpectCaptionsFit(settings);
            AboutWindow window(language, about);
            ExpectCaptionsFit(window);
        }
    }
    QApplication::setFont(standard);
}

// Runs the dialog as the Settings command does; `act` works it while it is open.
int RunSettings(int setting, std::function<void(SettingsDialog&)> act) {
    Language language = LanguageOfSetting(setting);
    WhenModalOpens([&](QWidget* dialog) {
        act(*qobject_cast<SettingsDialog*>(dialog));
        if (dialog->isVisible()) dialog->close();  // never leave the loop hanging
    });
    test::TestShell shell;
    shell.RunSettingsDialog(language);
    return SettingOfLanguage(language);
}
void Choose(SettingsDialog& d, int row) { qobject_cast<QComboBox*>(d.Control(38))->setCurrentIndex(row); }
void Press(SettingsDialog& d, int id) { QTest::mouseClick(d.Control(id), Qt::LeftButton); }

TEST(SettingsDialogTest, OkAndApplyStoreTheLanguageCancelCloseAndEscapeKeepIt) {
    EXPECT_EQ(RunSettings(0, [](SettingsDialog& d) { Choose(d, 1), Press(d, 39); }), 1);
    EXPECT_EQ(RunSettings(1, [](SettingsDialog& d) { Choose(d, 0), Press(d, 39); }), 0);
    EXPECT_EQ(RunSettings(0, [](SettingsDialog& d) { Choose(d, 1), Press(d, 40); }), 0);
    EXPECT_EQ(RunSettings(0, [](SettingsDialog& d) { Choose(d, 1), d.close(); }), 0);
    EXPECT_EQ(RunSettings(1, [](SettingsDialog& d) { Choose(d, 0), QTest::keyClick(&d, Qt::Key_Escape); }), 1);
    bool stillOpen = false;
    EXPECT_EQ(RunSettings(0, [&](SettingsDialog& d) {
                  Choose(d, 1), Press(d, 41);
                  stillOpen = d.isVisible() && d.windowTitle() == " Settings";
                  Choose(d, 0), Press(d, 40);  // changed again but not applied
              }), 1);
    EXPECT_TRUE(stillOpen) << "Apply keeps the dialog open and changes nothing on the screen";
}

TEST(AboutPictureTest, TheEmbeddedPictureDecodesAndBrokenOnesGiveNothing) {
    const std::string jpeg(AboutPictureJpeg());
    const QImage picture = DecodeJpeg(jpeg);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(122, 150));
    EXPECT_NE(picture.copy(0, 0, 122, 1), picture.copy(0, 149, 122, 1)) << "a picture, not a blank";
    const AboutResources about = LoadAboutResources();
    EXPECT_EQ(about.Picture.pixelColor(121, 149), picture.pixelColor(121, 149));
    EXPECT_EQ(about.TitleFont.family(), "Arial");
    std::string huge = jpeg;  // the frame header's height and width set to 65535
    for (size_t i = huge.find("\xFF\xC0", 2) + 5, end = i + 4; i < end; ++i) huge[i] = '\xFF';
    for (const std::string& broken : {std::string(), std::string("no picture at all"), jpeg.substr(0, jpeg.size() / 2),
                                      jpeg.substr(0, jpeg.find("\xFF\xDA") + 2), huge, std::string(ProgramIconPng())}) {
        EXPECT_TRUE(DecodeJpeg(broken).isNull()) << broken.size();
    }
    EXPECT_FALSE(DecodeJpeg(jpeg).isNull()) << "the decoder is whole again after a failure";
}

TEST(AboutWindowTest, ShowsPictureNameVersionAndTextsInBothLanguages) {
    const AboutResources about = LoadAboutResources();
    AboutWindow english(Language::English, about), german(Language::German, about);
    EXPECT_EQ(english.windowTitle(), " About");
    EXPECT_EQ(german.windowTitle(), U(" \xC3\x9C" "ber"));
    EXPECT_EQ(qobject_cast<QLabel*>(english.Control(42))->pixmap().toImage().convertToFormat(QImage::Format_RGB888),
              about.Picture);
    EXPECT_EQ(TextOf<QLabel>(english.Control(43)), "Vandrel");
    EXPECT_EQ(TextOf<QLineEdit>(english.Control(44)), "Version 1.02 of 04/30/2012");
    EXPECT_EQ(TextOf<QLineEdit>(german.Control(44)), "Version 1.02 vom 30.04.2012");
    EXPECT_EQ(qobject_cast<QPlainTextEdit*>(english.Control(45))->toPlainText().split('\n')[0],
              "Vandrel is an application for managing");
    EXPECT_EQ(qobject_cast<QPlainTextEdit*>(german.Control(48))->toPlainText().split('\n').size(), 4);
    EXPECT_EQ(TextOf<QLabel>(german.Control(47)), "Haftungsausschluss");
    EXPECT_EQ(TextOf<QLineEdit>(german.Control(49)), ToQString(texts::CopyrightLine));
    AboutResources broken = about;
    broken.Picture = DecodeJpeg(std::string(AboutPictureJpeg()).substr(0, 300));
    EXPECT_TRUE(qobject_cast<QLabel*>(AboutWindow(Language::English, broken).Control(42))->pixmap().isNull());
    test::TestShell shell;
    for (bool useOk : {true, false}) {
        bool shown = false;
        WhenModalOpens([&](QWidget* dialog) {
            shown = qobject_cast<AboutWindow*>(dialog) != nullptr;
            useOk ? QTest::mouseClick(dialog->findChild<QWidget*>("AboutOkButton"), Qt::LeftButton) : void(dialog->close());
        });
        shell.ShowAbout(Language::English);  // returns only once the window is left
        EXPECT_TRUE(shown);
    }
}

TEST(OpenDialogTest, ShowsTitleFiltersAndTheRememberedFileAndAnswersWithBytes) {
    EXPECT_EQ(QtNameFilters(Tr(texts::OpenDialogFilter, Language::English)), "Milkshape 3D ASCII files (*.txt);;All files (*)");
    EXPECT_EQ(QtNameFilters(""), "");
    test::TempDir dir;
    const std::string path = dir / "w\xC3\xA4lk.txt";
    test::WriteFile(path, "// MilkShape 3D ASCII\r\n");
    QString title;
    QStringList filters, selected;
    WhenModalOpens([&](QWidget* widget) {
        auto* dialog = qobject_cast<QFileDialog*>(widget);
        title = dialog->windowTitle(), filters = dialog->nameFilters(), selected = dialog->selectedFiles();
        static_cast<QDialog*>(dialog)->accept();
    });
    test::TestShell shell;
    EXPECT_EQ(shell.QtShell::AskOpenPath({Tr(texts::OpenDialogTitle1, Language::German), Tr(texts::OpenDialogFilter, Language::German), path}), path);
    EXPECT_EQ(title, U(" Bitte Milkshape 3D ASCII Datei 1 ausw\xC3\xA4hlen"));
    EXPECT_EQ(filters, (QStringList{"Milkshape 3D ASCII Dateien (*.txt)", "Alle Dateien (*)"}));
    EXPECT_EQ(selected, QStringList{QFile::decodeName(path.c_str())});
    WhenModalOpens([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
    EXPECT_EQ(shell.QtShell::AskOpenPath({" Please", "Files (*.txt)|*.txt", ""}), "");
}

TEST(MessageBoxTest, IconsButtonsAndLinesAsTheMessageSays) {
    QtShell shell(AboutResources{});
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title, text;
    QMessageBox::StandardButtons buttons;
    auto watch = [&](QMessageBox::StandardButton press) {
        WhenModalOpens([&, press](QWidget* widget) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            icon = box->icon(), title = box->windowTitle(), text = box->text(), buttons = box->standardButtons();
            box->button(press)->click();
        });
    };
    watch(QMessageBox::Ok);
    shell.ShowMessage({" Hint", "You can open only Milkshape 3D ASCII files!", MessageIcon::Warning});
    EXPECT_EQ(std::tuple(icon, title, buttons),
              std::tuple(QMessageBox::Warning, QString(" Hint"), QMessageBox::StandardButtons(QMessageBox::Ok)));
    // The program's text is Latin-1, the file name the UTF-8 bytes of its path.
    watch(QMessageBox::Ok);
    shell.ShowMessage({" Fehler",
                       Latin1("Datei < ") + "j\xC3\xBCrgen.txt" +
                           Latin1(" > ist schreibgeschützt!\r\nDie Datei kann nicht gesichert werden!"),
                       MessageIcon::Error});
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(text, U("Datei < j\xC3\xBCrgen.txt > ist schreibgesch\xC3\xBCtzt!\nDie Datei kann nicht gesichert werden!"));
    EXPECT_EQ(ToQString("a\xE9z"), U("a\xC3\xA9z")) << "a lone high byte shows as the character of its value";
    const Message question{" Quit", "Do you really want to quit Vandrel?", MessageIcon::Question};
    watch(QMessageBox::No);
    EXPECT_FALSE(shell.AskYesNo(question));
    EXPECT_EQ(std::tuple(icon, buttons), std::tuple(QMessageBox::Question, QMessageBox::Yes | QMessageBox::No));
    watch(QMessageBox::Yes);
    EXPECT_TRUE(shell.AskYesNo(question));
}

}  // namespace
}  // namespace vandrel
