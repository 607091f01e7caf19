// The Settings dialog, the About window with its picture, and the open dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "app/Texts.h"
#include "app/qt/AboutWindow.h"
#include "app/qt/EmbeddedPictures.h"
#include "app/qt/JpegPicture.h"
#include "app/qt/QtShell.h"
#include "app/qt/QtText.h"
#include "app/qt/SettingsDialog.h"
#include "output/PrintSurface.h"

namespace vandrel {
namespace {

using test::TempDir;
using test::WhenModalOpens;
using test::WriteFile;

QString Q(std::string_view bytes) { return ToQString(bytes); }
QString FromUtf8(const char* text) { return QString::fromUtf8(text); }

const QColor kViewBackground(236, 233, 216);

// --- Settings dialog ----------------------------------------------------------------

struct SettingsControl {
    int id;
    const char* name;
    QRect place;
};
const SettingsControl kSettingsControls[] = {
    {37, "LanguageFrame", {20, 20, 340, 50}},
    {38, "LanguageList", {30, 40, 320, 20}},
    {39, "SettingsOkButton", {20, 120, 100, 30}},
    {40, "SettingsCancelButton", {140, 120, 100, 30}},
    {41, "SettingsApplyButton", {260, 120, 100, 30}},
};

TEST(SettingsDialogTest, HasItsControlsAndTextsInBothLanguages) {
    struct Expected {
        int language;
        const char *title, *frame, *english, *german, *ok, *cancel, *apply;
    };
    for (const Expected& e : {Expected{0, " Settings", "Language", "English", "German", "OK", "Cancel", "Apply"},
                              Expected{1, " Einstellungen", "Sprache", "Englisch", "Deutsch", "OK", "Abbrechen",
                                       "\xC3\x9C" "bernehmen"}}) {
        SCOPED_TRACE(e.language);
        SettingsDialog dialog(e.language);
        EXPECT_EQ(dialog.windowTitle(), FromUtf8(e.title));
        EXPECT_EQ(dialog.size(), QSize(380, 170));
        EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
        EXPECT_FALSE(dialog.windowFlags() & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint));
        EXPECT_TRUE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
        for (const SettingsControl& c : kSettingsControls) {
            QWidget* widget = dialog.findChild<QWidget*>(c.name);
            ASSERT_NE(widget, nullptr) << c.name;
            EXPECT_EQ(widget, dialog.Control(c.id));
            EXPECT_EQ(widget->property("controlId").toInt(), c.id);
            EXPECT_EQ(widget->geometry(), c.place) << c.name;
        }
        EXPECT_EQ(qobject_cast<QGroupBox*>(dialog.Control(37))->title(), FromUtf8(e.frame));
        auto* list = qobject_cast<QComboBox*>(dialog.Control(38));
        ASSERT_NE(list, nullptr);
        EXPECT_FALSE(list->isEditable());
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->itemText(0), FromUtf8(e.english));
        EXPECT_EQ(list->itemText(1), FromUtf8(e.german));
        EXPECT_EQ(list->currentIndex(), e.language);
        EXPECT_EQ(qobject_cast<QPushButton*>(dialog.Control(39))->text(), FromUtf8(e.ok));
        EXPECT_EQ(qobject_cast<QPushButton*>(dialog.Control(40))->text(), FromUtf8(e.cancel));
        EXPECT_EQ(qobject_cast<QPushButton*>(dialog.Control(41))->text(), FromUtf8(e.apply));
    }
}

// Runs the dialog as the Settings command does; `act` works it while it is open.
int RunSettings(int language, std::function<void(SettingsDialog&)> act) {
    bool ran = false;
    WhenModalOpens([&](QWidget* dialog) {
        auto* settings = qobject_cast<SettingsDialog*>(dialog);
        ran = settings != nullptr;
        if (settings) act(*settings);
        if (dialog->isVisible()) dialog->close();  // never leave the loop hanging
    });
    test::TestShell shell;
    shell.RunSettingsDialog(language);
    EXPECT_TRUE(ran);
    return language;
}

void Choose(SettingsDialog& dialog, int row) { qobject_cast<QComboBox*>(dialog.Control(38))->setCurrentIndex(row); }
void Press(SettingsDialog& dialog, int id) { QTest::mouseClick(dialog.Control(id), Qt::LeftButton); }

TEST(SettingsDialogTest, OkStoresTheChosenLanguage) {
    EXPECT_EQ(RunSettings(0, [](SettingsDialog& d) { Choose(d, 1); Press(d, 39); }), 1);
    EXPECT_EQ(RunSettings(1, [](SettingsDialog& d) { Choose(d, 0); Press(d, 39); }), 0);
    EXPECT_EQ(RunSettings(1, [](SettingsDialog& d) { Press(d, 39); }), 1);
}

TEST(SettingsDialogTest, CancelAndTheCloseButtonKeepTheLanguage) {
    EXPECT_EQ(RunSettings(0, [](SettingsDialog& d) { Choose(d, 1); Press(d, 40); }), 0);
    EXPECT_EQ(RunSettings(0, [](SettingsDialog& d) { Choose(d, 1); d.close(); }), 0);
    EXPECT_EQ(RunSettings(1, [](SettingsDialog& d) { Choose(d, 0); QTest::keyClick(&d, Qt::Key_Escape); }), 1);
}

TEST(SettingsDialogTest, ApplyStoresAndStaysSoALaterCancelKeepsIt) {
    bool stillOpen = false;
    QString titleAfterApply;
    const int language = RunSettings(0, [&](SettingsDialog& d) {
        Choose(d, 1);
        Press(d, 41);
        stillOpen = d.isVisible();
        titleAfterApply = d.windowTitle();
        EXPECT_EQ(d.Language(), 1);
        Choose(d, 0);  // changed again but not applied
        Press(d, 40);
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(titleAfterApply, " Settings");  // nothing on the screen changes
    EXPECT_EQ(language, 1);
}

// --- About picture ---------------------------------------------------------------------

TEST(AboutPictureTest, TheEmbeddedPictureIsA122By150ColourJpeg) {
    const std::optional<RgbPicture> picture = DecodeJpeg(AboutPictureJpeg());
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->Width, 122);
    EXPECT_EQ(picture->Height, 150);
    ASSERT_EQ(picture->Rgb.size(), size_t(122 * 150 * 3));
    // A picture, not a blank: its first and last rows differ and it has colour.
    bool colour = false;
    for (size_t i = 0; i + 2 < picture->Rgb.size() && !colour; i += 3)
        colour = picture->Rgb[i] != picture->Rgb[i + 1] || picture->Rgb[i + 1] != picture->Rgb[i + 2];
    EXPECT_TRUE(colour);
    EXPECT_NE(std::vector<uint8_t>(picture->Rgb.begin(), picture->Rgb.begin() + 366),
              std::vector<uint8_t>(picture->Rgb.end() - 366, picture->Rgb.end()));

    const AboutResources about = LoadAboutResources();
    EXPECT_EQ(about.Picture.size(), QSize(122, 150));
    EXPECT_EQ(about.Picture.pixelColor(0, 0).red(), picture->Rgb[0]);
    EXPECT_EQ(about.Picture.pixelColor(121, 149).blue(), picture->Rgb.back());
    EXPECT_EQ(about.TitleFont.family(), "Arial");
    EXPECT_EQ(about.TitleFont.pointSize(), 18);
    EXPECT_TRUE(about.TitleFont.bold());
}

std::string Embedded() { return std::string(AboutPictureJpeg()); }

// The SOF0 marker's height and width set to 65535 each.
std::string WithHugeSize(std::string jpeg) {
    const size_t sof = jpeg.find("\xFF\xC0", 2);
    if (sof == std::string::npos) return {};
    for (size_t i = sof + 5; i < sof + 9; ++i) jpeg[i] = '\xFF';
    return jpeg;
}

TEST(AboutPictureTest, BrokenPicturesComeBackAsNothingWithoutEndingTheProgram) {
    const std::string jpeg = Embedded();
    ASSERT_GT(jpeg.size(), 1000u);
    const std::pair<const char*, std::string> broken[] = {
        {"no bytes", ""},
        {"text", "this is no picture at all"},
        {"start marker and rubbish", std::string("\xFF\xD8\xFF\xE0", 4) + std::string(200, '\x55')},
        {"header only", jpeg.substr(0, jpeg.find("\xFF\xDA") + 2)},
        {"cut in half", jpeg.substr(0, jpeg.size() / 2)},
        {"end cut off", jpeg.substr(0, jpeg.size() - 40)},
        {"65535 x 65535 in the header", WithHugeSize(jpeg)},
        {"a PNG", std::string(ProgramIconPng())},
    };
    for (const auto& [what, bytes] : broken) {
        EXPECT_FALSE(DecodeJpeg(bytes).has_value()) << what;
        EXPECT_TRUE(DecodePicture(bytes).isNull()) << what;
    }
    // The decoder is whole again after a failure.
    EXPECT_TRUE(DecodeJpeg(jpeg).has_value());
}

// --- About window -----------------------------------------------------------------------

struct AboutControl {
    int id;
    const char* name;
    QRect place;
};
const AboutControl kAboutControls[] = {
    {42, "AboutPicture", {20, 20, 122, 150}},     {43, "ProgramName", {160, 20, 290, 30}},
    {44, "VersionLine", {160, 50, 290, 20}},      {45, "DescriptionView", {160, 70, 360, 100}},
    {47, "DisclaimerHeading", {20, 190, 480, 15}}, {48, "DisclaimerView", {20, 210, 500, 60}},
    {49, "CopyrightField", {20, 290, 310, 20}},   {50, "AboutOkButton", {440, 280, 80, 30}},
};

QStringList Lines(QWidget* view) { return qobject_cast<QPlainTextEdit*>(view)->toPlainText().split('\n'); }

TEST(AboutWindowTest, ShowsPictureNameVersionAndTextsInEnglish) {
    const AboutResources about = LoadAboutResources();
    AboutWindow window(0, about);
    EXPECT_EQ(window.windowTitle(), " About");
    EXPECT_EQ(window.size(), QSize(540, 330));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags() & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint));
    for (const AboutControl& c : kAboutControls) {
        QWidget* widget = window.findChild<QWidget*>(c.name);
        ASSERT_NE(widget, nullptr) << c.name;
        EXPECT_EQ(widget, window.Control(c.id));
        EXPECT_EQ(widget->geometry(), c.place) << c.name;
    }
    EXPECT_EQ(window.Control(46), nullptr);

    auto* picture = qobject_cast<QLabel*>(window.Control(42));
    EXPECT_EQ(picture->pixmap().size(), QSize(122, 150));
    EXPECT_FALSE(picture->hasScaledContents());
    EXPECT_EQ(picture->pixmap().toImage().convertToFormat(QImage::Format_RGB888), about.Picture);

    auto* name = qobject_cast<QLabel*>(window.Control(43));
    EXPECT_EQ(name->text(), "Vandrel");
    EXPECT_EQ(name->font().family(), "Arial");
    EXPECT_EQ(name->font().pointSize(), 18);
    EXPECT_TRUE(name->font().bold());
    EXPECT_EQ(qobject_cast<QLineEdit*>(window.Control(44))->text(), "Version 1.02 of 04/30/2012");
    const QStringList description = Lines(window.Control(45));
    ASSERT_EQ(description.size(), 7);
    EXPECT_EQ(description[0], "Vandrel is an application for managing");
    EXPECT_EQ(description[6], "equipped with other animations.");
    EXPECT_EQ(qobject_cast<QLabel*>(window.Control(47))->text(), "Disclaimer");
    const QStringList disclaimer = Lines(window.Control(48));
    ASSERT_EQ(disclaimer.size(), 4);
    EXPECT_EQ(disclaimer[1], "It's free to everyone but the application is at own risk.");
    EXPECT_EQ(qobject_cast<QLineEdit*>(window.Control(49))->text(), Q(texts::CopyrightLine));
    EXPECT_EQ(qobject_cast<QPushButton*>(window.Control(50))->text(), "OK");
    for (int id : {45, 48}) {
        EXPECT_TRUE(qobject_cast<QPlainTextEdit*>(window.Control(id))->isReadOnly());
        EXPECT_EQ(window.Control(id)->palette().color(QPalette::Base), kViewBackground) << id;
    }
}

TEST(AboutWindowTest, GermanTextsAndTheSameCopyrightLine) {
    AboutWindow window(1, LoadAboutResources());
    EXPECT_EQ(window.windowTitle(), FromUtf8(" \xC3\x9C" "ber"));
    EXPECT_EQ(qobject_cast<QLineEdit*>(window.Control(44))->text(), "Version 1.02 vom 30.04.2012");
    const QStringList description = Lines(window.Control(45));
    ASSERT_EQ(description.size(), 7);
    EXPECT_EQ(description[2], FromUtf8("Keyframes k\xC3\xB6nnen ausgeschnitten, kopiert, verschoben, umbenannt"));
    EXPECT_EQ(description[6], FromUtf8("modell\xC3\xBC" "bergreifend mit anderen Animationen ausgestattet werden."));
    EXPECT_EQ(qobject_cast<QLabel*>(window.Control(47))->text(), "Haftungsausschluss");
    const QStringList disclaimer = Lines(window.Control(48));
    ASSERT_EQ(disclaimer.size(), 4);
    EXPECT_EQ(disclaimer[3],
              FromUtf8("eventuelle Sch\xC3\xA4" "den oder Folgesch\xC3\xA4" "den, die durch den Einsatz des Programms entstehen."));
    EXPECT_EQ(qobject_cast<QLineEdit*>(window.Control(49))->text(), Q(texts::CopyrightLine));
    EXPECT_EQ(qobject_cast<QLabel*>(window.Control(43))->text(), "Vandrel");
}

TEST(AboutWindowTest, ABrokenPictureLeavesThePictureEmptyAndTheWindowWorks) {
    AboutResources about = LoadAboutResources();
    about.Picture = DecodePicture(Embedded().substr(0, 300));
    AboutWindow window(0, about);
    EXPECT_TRUE(qobject_cast<QLabel*>(window.Control(42))->pixmap().isNull());
    EXPECT_EQ(qobject_cast<QLabel*>(window.Control(43))->text(), "Vandrel");
}

TEST(AboutWindowTest, OkAndTheCloseButtonLeaveIt) {
    test::TestShell shell;
    for (bool useOk : {true, false}) {
        bool shown = false;
        WhenModalOpens([&](QWidget* dialog) {
            shown = qobject_cast<AboutWindow*>(dialog) != nullptr;
            if (useOk)
                QTest::mouseClick(dialog->findChild<QWidget*>("AboutOkButton"), Qt::LeftButton);
            else
                dialog->close();
        });
        shell.ShowAbout(0);  // returns only once the window is left
        EXPECT_TRUE(shown);
    }
}

// --- Open dialog -----------------------------------------------------------------------

TEST(OpenDialogTest, TheFilterBecomesQtNameFiltersWhereStarDotStarListsEveryFile) {
    EXPECT_EQ(QtNameFilters(Tr(texts::OpenDialogFilter, 0)), "Milkshape 3D ASCII files (*.txt);;All files (*)");
    EXPECT_EQ(QtNameFilters(Tr(texts::OpenDialogFilter, 1)), "Milkshape 3D ASCII Dateien (*.txt);;Alle Dateien (*)");
    EXPECT_EQ(QtNameFilters("Models|*.txt"), "Models (*.txt)");
    EXPECT_EQ(QtNameFilters(""), "");
}

TEST(OpenDialogTest, ShowsTitleFiltersAndTheRememberedFileAndReturnsTheChoiceAsBytes) {
    TempDir dir;
    const std::string path = dir / "w\xC3\xA4lk.txt";
    WriteFile(path, "// MilkShape 3D ASCII\r\n");
    WriteFile(dir / "notes", "no extension");
    QString title, chosenFilter;
    QStringList filters, selected;
    WhenModalOpens([&](QWidget* widget) {
        auto* dialog = qobject_cast<QFileDialog*>(widget);
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        filters = dialog->nameFilters();
        chosenFilter = dialog->selectedNameFilter();
        selected = dialog->selectedFiles();
        static_cast<QDialog*>(dialog)->accept();
    });
    test::TestShell shell;
    const std::string answer =
        shell.QtShell::AskOpenPath({Tr(texts::OpenDialogTitle1, 1), Tr(texts::OpenDialogFilter, 1), path});
    EXPECT_EQ(title, FromUtf8(" Bitte Milkshape 3D ASCII Datei 1 ausw\xC3\xA4hlen"));
    EXPECT_EQ(filters, (QStringList{"Milkshape 3D ASCII Dateien (*.txt)", "Alle Dateien (*)"}));
    EXPECT_EQ(chosenFilter, "Milkshape 3D ASCII Dateien (*.txt)");
    EXPECT_EQ(selected, QStringList{QFile::decodeName(path.c_str())});
    EXPECT_EQ(answer, path);
}

TEST(OpenDialogTest, CancelGivesAnEmptyPath) {
    WhenModalOpens([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
    test::TestShell shell;
    EXPECT_EQ(shell.QtShell::AskOpenPath({" Please", "Files (*.txt)|*.txt", ""}), "");
}


// --- Message boxes and the print dialog ---------------------------------------------------

struct BoxSeen {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title, text;
    QMessageBox::StandardButtons buttons;
};

// Notes what the next message box shows and presses `press` in it.
BoxSeen* WatchBox(QMessageBox::StandardButton press) {
    static BoxSeen seen;
    seen = {};
    WhenModalOpens([press](QWidget* widget) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        ASSERT_NE(box, nullptr);
        seen = {box->icon(), box->windowTitle(), box->text(), box->standardButtons()};
        box->button(press)->click();
    });
    return &seen;
}

TEST(MessageBoxTest, HintsWarnErrorsAreCriticalAndLinesBreakAtCrLf) {
    QtShell shell(AboutResources{});
    BoxSeen* seen = WatchBox(QMessageBox::Ok);
    shell.ShowMessage({" Hint", "You can open only Milkshape 3D ASCII files!", MessageIcon::Warning});
    EXPECT_EQ(seen->icon, QMessageBox::Warning);
    EXPECT_EQ(seen->title, " Hint");
    EXPECT_EQ(seen->buttons, QMessageBox::Ok);

    seen = WatchBox(QMessageBox::Ok);
    shell.ShowMessage({" Fehler", Latin1("Datei < a.txt > ist schreibgeschützt!\r\nDie Datei kann nicht gesichert werden!"),
                       MessageIcon::Error});
    EXPECT_EQ(seen->icon, QMessageBox::Critical);
    EXPECT_EQ(seen->text, FromUtf8("Datei < a.txt > ist schreibgesch\xC3\xBCtzt!\nDie Datei kann nicht gesichert werden!"));
}

TEST(MessageBoxTest, AGermanMessageNamingAUtf8FileShowsBothRight) {
    // The program's text is Latin-1, the file name the UTF-8 bytes of the path.
    const std::string text = Latin1("Datei < ") + "j\xC3\xBCrgen.txt" + Latin1(" > ist schreibgeschützt!");
    EXPECT_EQ(ToQString(text), FromUtf8("Datei < j\xC3\xBCrgen.txt > ist schreibgesch\xC3\xBCtzt!"));
    // A lone high byte of a file is still shown as the character of its value.
    EXPECT_EQ(ToQString("a\xE9z"), FromUtf8("a\xC3\xA9z"));
}

TEST(MessageBoxTest, TheQuitQuestionHasYesAndNoAndOnlyYesSaysYes) {
    QtShell shell(AboutResources{});
    const Message question{" Quit", "Do you really want to quit Vandrel?", MessageIcon::Question};
    BoxSeen* seen = WatchBox(QMessageBox::No);
    EXPECT_FALSE(shell.AskYesNo(question));
    EXPECT_EQ(seen->icon, QMessageBox::Question);
    EXPECT_EQ(seen->buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(seen->title, " Quit");
    WatchBox(QMessageBox::Yes);
    EXPECT_TRUE(shell.AskYesNo(question));
}

TEST(PrintDialogTest, CancellingThePrintDialogPrintsNothing) {
    QString jobShown;
    WhenModalOpens([&](QWidget* widget) {
        auto* dialog = qobject_cast<QPrintDialog*>(widget);
        ASSERT_NE(dialog, nullptr);
        jobShown = dialog->printer()->docName();
        dialog->reject();
    });
    QtShell shell(AboutResources{});
    EXPECT_EQ(shell.AskPrinter("walk - Keyframes"), nullptr);
    EXPECT_EQ(jobShown, "walk - Keyframes");
}

}  // namespace
}  // namespace vandrel
