// The main window on Qt: its controls where they belong, the buttons and menu
// items running the commands, and everything on the screen following the state.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHelpEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <filesystem>
#include <set>

#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "app/Commands.h"
#include "app/MainWindow.h"
#include "app/qt/QtMainWindow.h"
#include "app/qt/QtText.h"
#include "app/qt/SettingsDialog.h"
#include "output/PrintSurface.h"

namespace vandrel {
namespace {

using test::ProcessEvents;
using test::ReadFile;
using test::TempDir;
using test::WhenModalOpens;
using test::WriteFile;

QString Q(std::string_view bytes) { return ToQString(bytes); }

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() {
        p.SettingsFileName = dir / "Vandrel.ini";
        WriteFile(walk, test::ModelText({10, 20, 35}));
        WriteFile(other, test::ModelText({5, 15}));
    }

    // Starts as the program does, without the About window, and shows the window.
    void Start(const std::string& settings = "LANGUAGE=0\r\n") {
        if (!settings.empty()) WriteFile(p.SettingsFileName, settings);
        StartUp(p, shell, false);
        window = std::make_unique<QtMainWindow>(p, shell);
        shell.SetWindow(window.get());
        window->show();
    }

    ~MainWindowTest() override { shell.SetWindow(nullptr); }

    template <class W = QWidget>
    W* Control(int id) const {
        return qobject_cast<W*>(window->Control(id));
    }
    QListWidget* List(int id) const { return Control<QListWidget>(id); }
    QStringList Rows(int id) const {
        QStringList rows;
        for (int i = 0; i < List(id)->count(); ++i) rows << List(id)->item(i)->text();
        return rows;
    }
    void Click(int id) { QTest::mouseClick(window->Control(id), Qt::LeftButton); }
    void Open(int n, const std::string& path) {
        shell.openAnswers.push_back(path);
        Click(n == 1 ? ids::OpenButton1 : ids::OpenButton2);
    }
    // Ctrl+click on a row, as a user picks several rows.
    void CtrlClickRow(int listId, int row) {
        QListWidget* list = List(listId);
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, rect.center());
    }
    void TriggerMenu(int menuId) {
        window->MenuAction(menuId)->trigger();
        ProcessEvents();
    }
    QLineEdit* Field(int id) const { return Control<QLineEdit>(id); }
    // The Settings command with `language` chosen and OK pressed.
    void SwitchLanguage(int language) {
        WhenModalOpens([language](QWidget* dialog) {
            auto* settings = static_cast<SettingsDialog*>(dialog);
            qobject_cast<QComboBox*>(settings->Control(38))->setCurrentIndex(language);
            QTest::mouseClick(settings->Control(39), Qt::LeftButton);
        });
        TriggerMenu(menu::Settings);
    }

    TempDir dir;
    std::string walk = dir / "walk.txt", other = dir / "other.txt";
    Program p;
    test::TestShell shell;
    std::unique_ptr<QtMainWindow> window;
};

// --- Layout -------------------------------------------------------------------

TEST_F(MainWindowTest, EveryControlHasItsIdNamePlaceAndStartText) {
    Start();
    for (const ControlSpec& entry : MainWindowControls()) {
        const QString name = QString::fromLatin1(entry.name.data(), qsizetype(entry.name.size()));
        SCOPED_TRACE(name.toStdString());
        QWidget* widget = window->findChild<QWidget*>(name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget, window->Control(entry.id));
        EXPECT_EQ(widget->property("controlId").toInt(), entry.id);
        EXPECT_EQ(widget->parentWidget(), window->ClientArea());
        EXPECT_EQ(widget->geometry(), QRect(entry.x, entry.y, entry.width, entry.height));
        EXPECT_EQ(widget->toolTip(), Q(Tr(entry.tip, 0)));
        const QString caption = Q(Tr(entry.caption, 0));
        switch (entry.kind) {
            case ControlKind::Button: EXPECT_EQ(qobject_cast<QPushButton*>(widget)->text(), caption); break;
            case ControlKind::Label: EXPECT_EQ(qobject_cast<QLabel*>(widget)->text(), caption); break;
            case ControlKind::Frame: EXPECT_EQ(qobject_cast<QGroupBox*>(widget)->title(), caption); break;
            case ControlKind::TextField:
                EXPECT_FALSE(qobject_cast<QLineEdit*>(widget)->isReadOnly());
                EXPECT_EQ(qobject_cast<QLineEdit*>(widget)->text(), "");
                break;
            case ControlKind::ReadOnlyField:
                EXPECT_TRUE(qobject_cast<QLineEdit*>(widget)->isReadOnly());
                EXPECT_TRUE(qobject_cast<QLineEdit*>(widget)->hasFrame());
                EXPECT_EQ(qobject_cast<QLineEdit*>(widget)->text(), "");
                break;
            case ControlKind::BorderlessField:
                EXPECT_TRUE(qobject_cast<QLineEdit*>(widget)->isReadOnly());
                EXPECT_FALSE(qobject_cast<QLineEdit*>(widget)->hasFrame());
                EXPECT_EQ(qobject_cast<QLineEdit*>(widget)->text(), caption);  // until the first refresh
                break;
            case ControlKind::TextView:
                EXPECT_TRUE(qobject_cast<QPlainTextEdit*>(widget)->isReadOnly());
                EXPECT_EQ(qobject_cast<QPlainTextEdit*>(widget)->toPlainText(), "");
                break;
            case ControlKind::MultiList:
                EXPECT_EQ(qobject_cast<QListWidget*>(widget)->selectionMode(), QAbstractItemView::ExtendedSelection);
                break;
            case ControlKind::SingleList:
                EXPECT_EQ(qobject_cast<QListWidget*>(widget)->selectionMode(), QAbstractItemView::SingleSelection);
                break;
        }
    }
}

TEST_F(MainWindowTest, ControlsAreCreatedInTheOrderOfTheLayoutSoLabelsLieOverTheFrame) {
    Start();
    const QObjectList children = window->ClientArea()->children();
    std::vector<int> order;
    for (QObject* child : children)
        if (child->property("controlId").isValid()) order.push_back(child->property("controlId").toInt());
    std::vector<int> expected;
    for (const ControlSpec& entry : MainWindowControls()) expected.push_back(entry.id);
    EXPECT_EQ(order, expected);
    // A click on a label inside the frame reaches the label, not the frame.
    EXPECT_EQ(window->ClientArea()->childAt(295, 610), window->Control(23));
    EXPECT_EQ(window->ClientArea()->childAt(415, 625), window->Control(ids::AtField));
}

TEST_F(MainWindowTest, StatisticsViewsAndTheClipboardListHaveTheirOwnBackground) {
    Start();
    const QColor background(236, 233, 216);
    for (int id = 0; id < kControlCount; ++id) {
        const bool own = id == ids::StatisticsView1 || id == ids::ClipboardList || id == ids::StatisticsView2;
        EXPECT_EQ(window->Control(id)->palette().color(QPalette::Base) == background, own) << id;
    }
}

TEST_F(MainWindowTest, TheWindowHasAFixedClientAreaItsCaptionAndNoMaximiseButton) {
    Start();
    EXPECT_EQ(window->windowTitle(), " Vandrel");
    EXPECT_EQ(window->ClientArea()->size(), QSize(1018, 700));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(window->size(), window->minimumSize());
    EXPECT_EQ(window->ClientArea()->mapTo(window.get(), QPoint(0, 0)), QPoint(0, window->menuBar()->height()));
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowCloseButtonHint);
    const QRect screen = window->screen()->availableGeometry();
    EXPECT_LE(std::abs(window->frameGeometry().center().x() - screen.center().x()), 30);
}

TEST_F(MainWindowTest, TheStatusBarHasFiveFieldsWithTheReadyTextCentred) {
    Start();
    const int widths[] = {280, 150, 160, 150, 1018 - 740};
    int x = 0;
    for (int field = 0; field < 5; ++field) {
        QLabel* label = window->StatusField(field);
        EXPECT_EQ(label->mapTo(window->ClientArea(), QPoint(0, 0)).x(), x) << field;
        EXPECT_EQ(label->width(), widths[field]) << field;
        EXPECT_EQ(label->mapTo(window->ClientArea(), QPoint(0, label->height())).y(), 700) << field;
        x += widths[field];
    }
    EXPECT_EQ(window->StatusField(4)->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    EXPECT_EQ(window->StatusField(4)->text(), " --------- < R E A D Y > ---------");
    for (int field = 0; field < 4; ++field) EXPECT_EQ(window->StatusField(field)->text(), "") << field;
}

TEST_F(MainWindowTest, TheStartUpStateIsOnTheScreen) {
    Start();
    const std::set<int> off = {1, 3, 16, 17, 18, 19, 20, 21, 28, 29, 30, 31, 32, 33};
    for (int id = 0; id < kControlCount; ++id) EXPECT_EQ(window->Control(id)->isEnabled(), !off.count(id)) << id;
    for (int id = 0; id < kMenuItemCount; ++id) EXPECT_EQ(window->MenuAction(id)->isEnabled(), id < 2 || (id > 7 && id != 12 && id != 13)) << id;
}

TEST_F(MainWindowTest, AFirstStartShowsTheAboutWindowBeforeTheMainWindowExists) {
    bool about = false, mainWindowAround = true;
    WhenModalOpens([&](QWidget* dialog) {
        about = dialog->inherits("vandrel::AboutWindow") && dialog->windowTitle() == " About";
        mainWindowAround = false;
        for (QWidget* top : QApplication::topLevelWidgets()) mainWindowAround |= top->inherits("vandrel::QtMainWindow");
        QTest::mouseClick(dialog->findChild<QWidget*>("AboutOkButton"), Qt::LeftButton);
    });
    shell.SetWindow(nullptr);
    StartUp(p, shell, true);  // no settings file: a first start
    EXPECT_TRUE(about);
    EXPECT_FALSE(mainWindowAround);
    EXPECT_FALSE(std::filesystem::exists(p.SettingsFileName));
}

// --- Menu bar -------------------------------------------------------------------

// A caption as the menu table has it, without the marker of its Alt key.
QString WithoutMnemonic(QString text) {
    return text.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
}

// "File/Open .../File 1 ..." for each item, "-" for a separator.
QStringList MenuOutline(QMenuBar* bar) {
    QStringList outline;
    std::function<void(QMenu*, const QString&)> walk = [&](QMenu* menu, const QString& path) {
        for (QAction* action : menu->actions()) {
            if (action->isSeparator()) {
                outline << path + "-";
            } else if (action->menu()) {
                walk(action->menu(), path + action->text() + "/");
            } else {
                outline << path + action->text() + "#" + action->property("menuId").toString();
            }
        }
    };
    for (QAction* title : bar->actions()) walk(title->menu(), WithoutMnemonic(title->text()) + "/");
    return outline;
}

TEST_F(MainWindowTest, TheMenuBarHasTheStructureWithShortcutTextsAfterTheTab) {
    Start();
    const QStringList expected = {
        "File/Open .../File 1 ...#0",
        "File/Open .../File 2 ...#1",
        "File/Save .../File 1#2",
        "File/Save .../File 2#3",
        "File/-",
        "File/Print .../Model Statistics File 1 ...#4",
        "File/Print .../Keyframes File 1 ...#5",
        "File/Print .../-",
        "File/Print .../Model Statistics File 2 ...#6",
        "File/Print .../Keyframes File 2 ...#7",
        "File/-",
        "File/Settings ...#8",
        "File/-",
        "File/Quit\tAlt+F4#9",
        "Edit/Undo#12",
        "Edit/Redo#13",
        "View/Preview#14",
        "Help/Contents ...\tF1#10",
        "Help/-",
        "Help/About ...#11",
    };
    EXPECT_EQ(MenuOutline(window->menuBar()), expected);
}

TEST_F(MainWindowTest, TheSettingsCommandRebuildsTheMenuBarInGerman) {
    Start();
    Open(1, walk);
    WhenModalOpens([](QWidget* dialog) {
        auto* settings = qobject_cast<SettingsDialog*>(dialog);
        ASSERT_NE(settings, nullptr);
        qobject_cast<QComboBox*>(settings->Control(38))->setCurrentIndex(1);
        QTest::mouseClick(settings->Control(39), Qt::LeftButton);
    });
    TriggerMenu(menu::Settings);
    EXPECT_EQ(p.UiLanguage, 1);
    EXPECT_EQ(ReadFile(p.SettingsFileName), "FILE1=" + walk + "\r\nFILE2=\r\nLANGUAGE=1\r\n");
    const QStringList outline = MenuOutline(window->menuBar());
    ASSERT_EQ(outline.size(), 20);
    EXPECT_EQ(outline[0], "Datei/" + Q(Latin1("Öffnen")) + " .../Datei 1 ...#0");
    EXPECT_EQ(outline[6], "Datei/Drucken .../Keyframes Datei1 ...#5");
    EXPECT_EQ(outline[13], "Datei/Beenden\tAlt+F4#9");
    EXPECT_EQ(outline[14], "Bearbeiten/" + Q(Latin1("Rückgängig")) + "#12");
    EXPECT_EQ(outline[16], "Ansicht/Vorschau#14");
    EXPECT_EQ(outline[19], "Hilfe/" + Q(Latin1("Über")) + " ...#11");
    // The new bar carries the enabled state of the refresh: File 2 is not loaded.
    for (int id = 0; id < kMenuItemCount; ++id)
        EXPECT_EQ(window->MenuAction(id)->isEnabled(), id != 3 && id != 6 && id != 7 && id != 13) << id;
    EXPECT_EQ(Control<QPushButton>(ids::CutButton1)->text(), "Ausschneiden");
    EXPECT_EQ(window->Control(ids::CopyButton1)->toolTip(), "Keytrames kopieren von Datei 1 nach Zwischenablage");
    EXPECT_EQ(Field(ids::ClipboardCounter)->text(), "Zwischenablage: 0");
    EXPECT_EQ(window->StatusField(2)->text(), " Kompatibel: 0");
    EXPECT_EQ(window->StatusField(4)->text(), " --------- < Bereit > ---------");

    // The new bar's items run their commands as the old ones did.
    shell.answerYes = false;
    TriggerMenu(menu::Quit);
    ASSERT_EQ(shell.questions.size(), 1u);
    EXPECT_EQ(shell.questions[0].text, "Wollen Sie Vandrel wirklich beenden?");
}

TEST_F(MainWindowTest, DisabledMenuItemsFollowTheStateAfterEachCommand) {
    Start();
    Open(2, other);
    for (int id = 0; id < kMenuItemCount; ++id)
        EXPECT_EQ(window->MenuAction(id)->isEnabled(), id != 2 && id != 4 && id != 5 && id != 13) << id;
    List(ids::KeyframeList2)->selectAll();
    Click(ids::CutButton2);
    EXPECT_FALSE(window->MenuAction(menu::PrintKeyframes2)->isEnabled());
    EXPECT_TRUE(window->MenuAction(menu::PrintStatistics2)->isEnabled());
}

// --- Commands from the buttons ------------------------------------------------------

TEST_F(MainWindowTest, OpeningAFileShowsItsRowsStatisticsPathAndCounters) {
    Start();
    Open(1, walk);
    ASSERT_EQ(shell.openRequests.size(), 1u);
    EXPECT_EQ(shell.openRequests[0].title, " Please select Milkshape 3D ASCII file 1");
    EXPECT_EQ(Rows(ids::KeyframeList1), (QStringList{"10", "20", "35"}));
    EXPECT_EQ(Field(ids::PathField1)->text(), QString::fromStdString(walk));
    EXPECT_EQ(Field(ids::KeyframeCounter1)->text(), "Keyframes: 3");
    EXPECT_EQ(Field(ids::ClipboardCounter)->text(), "Clipboard: 0");
    EXPECT_EQ(Field(ids::KeyframeCounter2)->text(), "Keyframes: 0");
    QString statistics = Q(ControlText(p, ids::StatisticsView1));
    statistics.replace("\r\n", "\n");
    EXPECT_FALSE(statistics.isEmpty());
    EXPECT_EQ(Control<QPlainTextEdit>(ids::StatisticsView1)->toPlainText(), statistics);
    EXPECT_EQ(Control<QPlainTextEdit>(ids::StatisticsView2)->toPlainText(), "");
    EXPECT_TRUE(window->Control(ids::SaveButton1)->isEnabled());
    EXPECT_TRUE(window->Control(ids::CutButton1)->isEnabled());
    EXPECT_FALSE(window->Control(ids::SaveButton2)->isEnabled());
    EXPECT_EQ(window->StatusField(0)->text(), Q("  " + std::string(texts::CopyrightLine)));
    EXPECT_EQ(window->StatusField(1)->text(), " Joints: 3");
    EXPECT_EQ(window->StatusField(2)->text(), " Compatible: 0");
    EXPECT_EQ(window->StatusField(3)->text(), " Joints: ");
}

TEST_F(MainWindowTest, ACancelledOpenShowsTheHintAndKeepsTheLoadedFile) {
    Start();
    Open(1, walk);
    Open(1, "");
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].title, " Hint");
    EXPECT_EQ(Rows(ids::KeyframeList1), (QStringList{"10", "20", "35"}));
    EXPECT_EQ(shell.openRequests[1].defaultFile, walk);
}

TEST_F(MainWindowTest, TheBusyTextIsPaintedBeforeTheCommandWorks) {
    Start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    ProcessEvents();
    QString textDuringDialog;
    QImage onScreen, expected;
    shell.duringOpenDialog = [&] {
        QLabel* field = window->StatusField(4);
        textDuringDialog = field->text();
        // What the window system holds for the field now, against a fresh drawing of it.
        const QPoint at = field->mapTo(window.get(), QPoint(0, 0));
        onScreen = window->screen()->grabWindow(window->winId(), at.x(), at.y(), field->width(), field->height()).toImage();
        expected = field->grab().toImage();
    };
    Open(1, walk);
    EXPECT_EQ(textDuringDialog, " < ###### < B U S Y > ###### >");
    ASSERT_FALSE(onScreen.isNull());
    EXPECT_EQ(onScreen.convertToFormat(QImage::Format_RGB32), expected.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(window->StatusField(4)->text(), " --------- < R E A D Y > ---------");
}

TEST_F(MainWindowTest, RowsPickedWithCtrlClickAreCutIntoTheClipboard) {
    Start();
    Open(1, walk);
    CtrlClickRow(ids::KeyframeList1, 0);
    CtrlClickRow(ids::KeyframeList1, 2);
    ASSERT_TRUE(p.ws.File(1).Rows[0].Selected);
    ASSERT_FALSE(p.ws.File(1).Rows[1].Selected);
    ASSERT_TRUE(p.ws.File(1).Rows[2].Selected);
    Click(ids::CutButton1);
    EXPECT_EQ(Rows(ids::KeyframeList1), QStringList{"20"});
    EXPECT_EQ(Rows(ids::ClipboardList), (QStringList{"10", "35"}));
    EXPECT_EQ(Field(ids::KeyframeCounter1)->text(), "Keyframes: 1");
    EXPECT_EQ(Field(ids::ClipboardCounter)->text(), "Clipboard: 2");
    EXPECT_EQ(Field(ids::FromField)->text(), "10");
    EXPECT_EQ(Field(ids::ToField)->text(), "35");
    EXPECT_EQ(Field(ids::AtField)->text(), "10");
    EXPECT_TRUE(window->Control(ids::PasteButton1)->isEnabled());
    EXPECT_FALSE(window->Control(ids::PasteButton2)->isEnabled());  // File 2 not loaded
    EXPECT_TRUE(window->Control(ids::ClipboardOkButton)->isEnabled());
    EXPECT_TRUE(List(ids::KeyframeList1)->selectedItems().isEmpty());
}

TEST_F(MainWindowTest, ACopyKeepsTheFileAndItsSelectionAndPasteMergesIntoTheOtherFile) {
    Start();
    Open(1, walk);
    Open(2, other);
    ASSERT_GT(p.ws.CompatibleCount, 0);
    List(ids::KeyframeList2)->item(1)->setSelected(true);
    Click(ids::CopyButton2);
    EXPECT_EQ(Rows(ids::KeyframeList2), (QStringList{"5", "15"}));
    EXPECT_TRUE(List(ids::KeyframeList2)->item(1)->isSelected());
    EXPECT_EQ(Rows(ids::ClipboardList), QStringList{"15"});
    EXPECT_TRUE(window->Control(ids::PasteButton1)->isEnabled());
    EXPECT_TRUE(window->Control(ids::PasteButton2)->isEnabled());
    Click(ids::PasteButton1);
    EXPECT_EQ(Rows(ids::KeyframeList1), (QStringList{"10", "15", "20", "35"}));
    EXPECT_EQ(Field(ids::KeyframeCounter1)->text(), "Keyframes: 4");
}

TEST_F(MainWindowTest, TypedClipboardFieldsReachTheOkCommand) {
    Start();
    Open(1, walk);
    List(ids::KeyframeList1)->selectAll();
    Click(ids::CopyButton1);
    QLineEdit* at = Field(ids::AtField);
    at->selectAll();
    QTest::keyClicks(at, "100");
    QTest::keyClicks(Field(ids::StepwidthField), "5");
    QTest::keyClicks(Field(ids::CommentField), "Gehen ");
    QTest::sendKeyEvent(QTest::Click, Field(ids::CommentField), Qt::Key_Udiaeresis, QString::fromUtf8("\xC3\xBC"),
                        Qt::NoModifier);
    EXPECT_EQ(p.window.controls[ids::AtField].text, "100");
    EXPECT_EQ(p.window.controls[ids::StepwidthField].text, "5");
    EXPECT_EQ(p.window.controls[ids::CommentField].text, "Gehen \xC3\xBC");
    Click(ids::ClipboardOkButton);
    const QStringList rows = Rows(ids::ClipboardList);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_TRUE(rows[0].startsWith("100 ")) << rows[0].toStdString();
    EXPECT_TRUE(rows[0].endsWith(QString::fromUtf8("Gehen \xC3\xBC"))) << rows[0].toStdString();
    EXPECT_EQ(Field(ids::FromField)->text(), "100");
    EXPECT_EQ(Field(ids::ToField)->text(), "110");
    // The refresh empties what was typed.
    EXPECT_EQ(Field(ids::StepwidthField)->text(), "");
    EXPECT_EQ(Field(ids::CommentField)->text(), "");
}

TEST_F(MainWindowTest, RowTextsFromFilesShowTheirLatin1Letters) {
    Start();
    Open(1, walk);
    p.ws.File(1).Rows[0].RowText = "10  Sprung \xFC" "ber";  // as a side file written elsewhere holds it
    p.ws.File(1).Rows[2].Selected = true;
    window->Render();
    EXPECT_EQ(List(ids::KeyframeList1)->item(0)->text(), QString::fromUtf8("10  Sprung \xC3\xBC" "ber"));
    EXPECT_TRUE(List(ids::KeyframeList1)->item(2)->isSelected());
    EXPECT_FALSE(List(ids::KeyframeList1)->item(0)->isSelected());
}

TEST_F(MainWindowTest, AClickOnADisabledButtonRunsNothing) {
    Start();
    Click(ids::SaveButton1);
    Click(ids::PasteButton1);
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_EQ(Field(ids::KeyframeCounter1)->text(), "Keyframes");  // no refresh ran
}

// --- Keys, help and quitting --------------------------------------------------------

TEST_F(MainWindowTest, F1RunsTheHelpCommandAndAMissingViewerGivesTheHint) {
    Start();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_F1);
    ProcessEvents();
    EXPECT_EQ(shell.helpFiles, std::vector<std::string>{"VandrelEnglish.chm"});
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].title, " Hint");
    EXPECT_EQ(shell.messages[0].text, "The help file < VandrelEnglish.chm > cannot be opened!");
}

TEST_F(MainWindowTest, HelpFileOpensOnlyFromBesideTheProgram) {
    QtShell real(AboutResources{});
    EXPECT_FALSE(real.OpenHelpFile("VandrelNoSuchHelp.chm"));
}

TEST_F(MainWindowTest, ClosingTheWindowAsksAndOnlyYesQuits) {
    Start();
    QSignalSpy quit(window.get(), &QtMainWindow::quitConfirmed);
    shell.answerYes = false;
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(p.QuitRequested);
    ASSERT_EQ(shell.questions.size(), 1u);
    EXPECT_EQ(shell.questions[0].title, " Quit");
    EXPECT_EQ(shell.questions[0].text, "Do you really want to quit Vandrel?");
    EXPECT_EQ(quit.count(), 0);

    shell.answerYes = true;
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(p.QuitRequested);
    EXPECT_EQ(quit.count(), 1);
    EXPECT_EQ(ReadFile(p.SettingsFileName), "LANGUAGE=0\r\n");  // nothing is saved on quitting
}

TEST_F(MainWindowTest, TheQuitMenuItemAsksTheSameQuestion) {
    Start();
    QSignalSpy quit(window.get(), &QtMainWindow::quitConfirmed);
    shell.answerYes = true;
    TriggerMenu(menu::Quit);
    EXPECT_EQ(shell.questions.size(), 1u);
    EXPECT_TRUE(p.QuitRequested);
    EXPECT_EQ(quit.count(), 1);
}

TEST_F(MainWindowTest, AboutFromTheHelpMenuOpensTheAboutWindowOverTheMainWindow) {
    Start("LANGUAGE=1\r\n");
    QString title;
    QWidget* parent = nullptr;
    WhenModalOpens([&](QWidget* dialog) {
        title = dialog->windowTitle();
        parent = dialog->parentWidget();
        QTest::mouseClick(dialog->findChild<QWidget*>("AboutOkButton"), Qt::LeftButton);
    });
    TriggerMenu(menu::About);
    EXPECT_EQ(title, Q(Latin1(" Über")));
    EXPECT_EQ(parent, window.get());
}


// --- The window as people use it ---------------------------------------------------

TEST_F(MainWindowTest, FileQuitAsksOnceAndOnlyYesEndsTheProgram) {
    Start();
    // Wired as the program is: a confirmed quit ends the event loop.
    QObject::connect(window.get(), &QtMainWindow::quitConfirmed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes);
        shell.answerYes = yes;
        shell.questions.clear();
        QObject rounds;  // a program still running after these rounds of events stays running
        std::function<void(int)> wait = [&](int left) {
            QTimer::singleShot(0, &rounds, [&, left] { left ? wait(left - 1) : QCoreApplication::exit(1); });
        };
        QTimer::singleShot(0, &rounds, [&] {
            window->MenuAction(menu::Quit)->trigger();
            wait(20);
        });
        const int ended = QApplication::exec() == 0;
        EXPECT_EQ(shell.questions.size(), 1u);
        EXPECT_EQ(ended, yes);
        EXPECT_EQ(window->isVisible(), !yes);
    }
}

// The width a control needs for its caption in the font it shows: the text's
// advance plus the margins the style puts around it.
int CaptionNeeds(QWidget* control) {
    QStyle* style = control->style();
    const QFontMetrics metrics(control->font());
    if (auto* button = qobject_cast<QPushButton*>(control))
        return metrics.horizontalAdvance(button->text()) + style->pixelMetric(QStyle::PM_ButtonMargin) +
               2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth);
    if (auto* label = qobject_cast<QLabel*>(control)) return label->sizeHint().width();
    if (auto* frame = qobject_cast<QGroupBox*>(control)) return frame->minimumSizeHint().width();
    return metrics.horizontalAdvance(qobject_cast<QLineEdit*>(control)->text()) + 4;  // a counter
}

TEST_F(MainWindowTest, EveryCaptionFitsItsControlInBothLanguages) {
    const auto check = [this](const char* when) {
        SCOPED_TRACE(when);
        std::vector<QWidget*> captioned;
        for (int field = 0; field < kStatusFieldCount; ++field) captioned.push_back(window->StatusField(field));
        for (QWidget* control : window->ClientArea()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            auto* field = qobject_cast<QLineEdit*>(control);
            if (qobject_cast<QPushButton*>(control) || qobject_cast<QLabel*>(control) ||
                qobject_cast<QGroupBox*>(control) || (field && !field->hasFrame()))
                captioned.push_back(control);
        }
        for (QWidget* control : captioned) {
            SCOPED_TRACE(control->objectName().toStdString());
            const QFont standard = QApplication::font(control), shown = control->font();
            EXPECT_LE(CaptionNeeds(control), control->width());
            EXPECT_EQ(shown.family(), standard.family());
            if (shown.pointSizeF() == standard.pointSizeF()) continue;
            // Smaller only where the standard size does not fit, and no smaller than needed.
            EXPECT_LT(shown.pointSizeF(), standard.pointSizeF());
            for (qreal size : {standard.pointSizeF(), shown.pointSizeF() + 0.5}) {
                QFont bigger = shown;
                bigger.setPointSizeF(size);
                control->setFont(bigger);
                EXPECT_GT(CaptionNeeds(control), control->width()) << size;
            }
            control->setFont(shown);
        }
    };
    Start("LANGUAGE=1\r\n");
    check("German at the start");
    shell.duringOpenDialog = [&] { check("German, busy"); };
    Open(1, walk);
    Open(2, other);
    shell.duringOpenDialog = nullptr;
    check("German with two files");
    SwitchLanguage(0);
    check("English");
}

// Notes the text of the Cancel button of the next dialog and leaves it with that.
void WatchCancel(QString* seen) {
    WhenModalOpens([seen](QWidget* dialog) {
        auto* box = dialog->findChild<QDialogButtonBox*>();
        QAbstractButton* cancel = box ? box->button(QDialogButtonBox::Cancel) : nullptr;
        *seen = cancel ? WithoutMnemonic(cancel->text()) : QString();
        qobject_cast<QDialog*>(dialog)->reject();
    });
}

TEST_F(MainWindowTest, QtsOwnDialogsSpeakTheProgramsLanguage) {
    Start("LANGUAGE=1\r\n");
    for (const auto& [yes, cancel] : {std::pair{"Ja", "Abbrechen"}, std::pair{"Yes", "Cancel"}}) {
        SCOPED_TRACE(yes);
        QString seen;
        WhenModalOpens([&](QWidget* dialog) {
            seen = WithoutMnemonic(qobject_cast<QMessageBox*>(dialog)->button(QMessageBox::Yes)->text());
            qobject_cast<QMessageBox*>(dialog)->button(QMessageBox::No)->click();
        });
        shell.QtShell::AskYesNo({" Quit", "?", MessageIcon::Question});
        EXPECT_EQ(seen, yes);
        WatchCancel(&seen);
        shell.QtShell::AskOpenPath({" Open", "Models|*.txt", ""});
        EXPECT_EQ(seen, cancel) << "file dialog";
        WatchCancel(&seen);
        shell.QtShell::AskPrinter("walk - Keyframes");
        EXPECT_EQ(seen, cancel) << "print dialog";
        SwitchLanguage(0);
    }
}

TEST_F(MainWindowTest, ThePrintDialogsOfferNoPageRange) {
    Start();
    Open(1, walk);
    shell.realPrintDialog = true;
    for (int item : {menu::PrintStatistics1, menu::PrintKeyframes1}) {
        SCOPED_TRACE(item);
        bool seen = false, rangeOffered = true;
        WhenModalOpens([&](QWidget* dialog) {
            auto* print = qobject_cast<QPrintDialog*>(dialog);
            ASSERT_NE(print, nullptr);
            seen = true;
            // "Pages from ... to ..." as the user would pick it.
            auto* pages = print->findChild<QAbstractButton*>("printRange");
            ASSERT_NE(pages, nullptr);
            rangeOffered = print->testOption(QAbstractPrintDialog::PrintPageRange) ||
                           (pages->isVisibleTo(print) && pages->isEnabled());
            print->reject();
        });
        TriggerMenu(item);
        EXPECT_TRUE(seen);
        EXPECT_FALSE(rangeOffered);
    }
}

TEST_F(MainWindowTest, TheWindowFitsEveryScreenAndScrollsToEveryControl) {
    Start();
    for (QScreen* screen : QGuiApplication::screens()) {
        SCOPED_TRACE(screen->name().toStdString());
        shell.SetWindow(nullptr);
        window = std::make_unique<QtMainWindow>(p, shell);
        shell.SetWindow(window.get());
        window->move(screen->availableGeometry().topLeft());
        window->setScreen(screen);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        ProcessEvents();
        const QRect area = screen->availableGeometry(), frame = window->frameGeometry(), inner = window->geometry();
        EXPECT_TRUE(area.contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
        EXPECT_EQ(window->minimumSize(), window->maximumSize());
        EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
        EXPECT_EQ(window->ClientArea()->size(), QSize(1018, 700));
        auto* scroll = window->findChild<QScrollArea*>();
        ASSERT_NE(scroll, nullptr);
        const QSize free = area.size() - (frame.size() - inner.size());
        if (free.width() >= 1018 && free.height() >= 700 + window->menuBar()->height()) {
            // Held whole: as the layout says, centred.
            EXPECT_EQ(scroll->viewport()->size(), QSize(1018, 700));
            EXPECT_LE((frame.center() - area.center()).manhattanLength(), 2);
            continue;
        }
        // Otherwise it takes the free area where the layout does not fit, and
        // every control can be scrolled to.
        EXPECT_EQ(frame.height() == area.height(), free.height() < 700 + window->menuBar()->height());
        EXPECT_EQ(frame.width() == area.width(), free.width() < 1018);
        std::vector<QWidget*> controls(static_cast<size_t>(kControlCount));
        for (int id = 0; id < kControlCount; ++id) controls[size_t(id)] = window->Control(id);
        for (int field = 0; field < kStatusFieldCount; ++field) controls.push_back(window->StatusField(field));
        for (QWidget* control : controls) {
            const QRect place(control->mapTo(window->ClientArea(), QPoint(0, 0)), control->size());
            scroll->ensureVisible(place.center().x(), place.center().y(), place.width() / 2 + 1, place.height() / 2 + 1);
            const QRect shown(control->mapToGlobal(QPoint(0, 0)), control->size());
            const QRect view(scroll->viewport()->mapToGlobal(QPoint(0, 0)), scroll->viewport()->size());
            EXPECT_TRUE(view.contains(shown) && area.contains(shown)) << control->objectName().toStdString();
        }
    }
}

TEST_F(MainWindowTest, MenuTitlesOpenWithAltAndTheirFirstLetterAndOpenAndSaveHaveKeys) {
    Start();
    Open(1, walk);
    Open(2, other);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    for (QAction* title : window->menuBar()->actions()) {
        const QString caption = WithoutMnemonic(title->text());
        QTest::keyClick(window.get(), Qt::Key(caption.front().toUpper().unicode()), Qt::AltModifier);
        EXPECT_EQ(QApplication::activePopupWidget(), title->menu()) << caption.toStdString();
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    const std::pair<int, QKeyCombination> keys[] = {{menu::OpenFile1, Qt::CTRL | Qt::Key_O},
                                                    {menu::OpenFile2, Qt::CTRL | Qt::SHIFT | Qt::Key_O},
                                                    {menu::SaveFile1, Qt::CTRL | Qt::Key_S},
                                                    {menu::SaveFile2, Qt::CTRL | Qt::SHIFT | Qt::Key_S}};
    for (const auto& [item, key] : keys) {
        QSignalSpy triggered(window->MenuAction(item), &QAction::triggered);
        QTest::keyClick(window.get(), key.key(), key.keyboardModifiers());
        ProcessEvents();
        EXPECT_EQ(triggered.count(), 1) << item;
    }
}

TEST_F(MainWindowTest, TabGoesThroughTheControlsRowByRowFromLeftToRight) {
    Start();
    Open(1, walk);
    Open(2, other);
    List(ids::KeyframeList1)->selectAll();
    Click(ids::CopyButton1);  // now every control is enabled
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->Control(ids::OpenButton1)->setFocus();
    std::vector<int> order = {ids::OpenButton1};
    for (int i = 0; i < kControlCount; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        const QVariant id = QApplication::focusWidget()->property("controlId");
        if (!id.isValid() || id.toInt() == ids::OpenButton1) break;
        order.push_back(id.toInt());
    }
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4, 5, 11, 12, 13, 14, 15, 16, 17, 18, 28, 29, 30, 32, 31, 33, 19, 20, 21}));
}

TEST_F(MainWindowTest, ALongCommentShowsWholeAsTheRowsTooltipInEveryList) {
    Start();
    Open(1, walk);
    Open(2, other);
    List(ids::KeyframeList1)->item(0)->setSelected(true);
    List(ids::KeyframeList1)->item(2)->setSelected(true);
    Click(ids::CopyButton1);
    const std::string comment = "  Jump from the cliff, turn twice in the air and land on both feet";
    p.ws.File(1).Rows[1].RowText += comment;
    p.ws.File(2).Rows[1].RowText += comment;
    p.ws.Clip.Rows[0].RowText += comment;
    window->Render();
    for (int id : {ids::KeyframeList1, ids::ClipboardList, ids::KeyframeList2}) {
        QListWidget* list = List(id);
        const int longRow = id == ids::ClipboardList ? 0 : 1;
        for (int row : {longRow, 1 - longRow}) {
            const QPoint at = list->visualItemRect(list->item(row)).center();
            QHelpEvent help(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
            QApplication::sendEvent(list->viewport(), &help);
            // The whole row on a long one, the list's own tip elsewhere.
            EXPECT_EQ(QToolTip::text(), row == longRow ? list->item(row)->text() : list->toolTip()) << id << " " << row;
            QToolTip::hideText();
        }
    }
}

TEST_F(MainWindowTest, CtrlZUndoesACutAndTheChangedFileIsShownInBoldUntilThen) {
    Start();
    Open(1, walk);
    EXPECT_FALSE(window->Control(ids::SaveButton1)->font().bold());
    List(ids::KeyframeList1)->selectAll();
    Click(ids::CutButton1);
    EXPECT_EQ(Rows(ids::KeyframeList1), QStringList{});
    EXPECT_TRUE(window->Control(ids::SaveButton1)->font().bold());
    EXPECT_TRUE(window->Control(ids::PathField1)->font().bold());
    EXPECT_EQ(Field(ids::PathField1)->text(), QString::fromStdString(walk)) << "the text stays as it is";
    window->activateWindow();
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    ProcessEvents();
    EXPECT_EQ(Rows(ids::KeyframeList1), (QStringList{"10", "20", "35"}));
    EXPECT_FALSE(window->Control(ids::SaveButton1)->font().bold());
    EXPECT_TRUE(window->MenuAction(menu::Redo)->isEnabled());
}

}  // namespace
}  // namespace vandrel
