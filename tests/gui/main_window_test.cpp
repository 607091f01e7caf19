// The main window on Qt, for what the skin alone can break: clicks and keys
// reach the dispatch, the screen shows the state, dialogs answer in the
// program's language, quitting asks once, captions fit, the window fits a small
// screen, and help, About and the print dialog open as they should.
#include <gtest/gtest.h>

#include <map>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QStyleOptionGroupBox>
#include <QSpinBox>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QToolTip>

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
using test::WhenModalOpens;

QString WithoutMnemonic(QString text) { return text.replace(QRegularExpression("&(.)"), "\\1"); }

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() {
        p.SettingsFileName = dir / "Vandrel.ini";
        test::WriteFile(walk, test::ModelText({10, 20, 35}));
        test::WriteFile(other, test::ModelText({5, 15}));
    }
    ~MainWindowTest() override { shell.SetWindow(nullptr); }

    // Starts as the program does, without the About window, and shows the window.
    void Start(const std::string& settings = "LANGUAGE=0\r\n") {
        test::WriteFile(p.SettingsFileName, settings);
        StartUp(p, shell, false);
        window = std::make_unique<QtMainWindow>(p, shell);
        shell.SetWindow(window.get());
        window->show();
    }
    template <class W = QWidget>
    W* Control(int id) const { return qobject_cast<W*>(window->Control(id)); }
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
    void ClickRow(int listId, int row, Qt::KeyboardModifiers keys = Qt::ControlModifier) {
        QListWidget* list = List(listId);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, keys, list->visualItemRect(list->item(row)).center());
    }
    void Trigger(int menuId) {
        window->MenuAction(menuId)->trigger();
        ProcessEvents();
    }
    void SwitchLanguage(Language language) {
        WhenModalOpens([language](QWidget* dialog) {
            auto* settings = static_cast<SettingsDialog*>(dialog);
            qobject_cast<QComboBox*>(settings->Control(38))->setCurrentIndex(SettingOfLanguage(language));
            QTest::mouseClick(settings->Control(39), Qt::LeftButton);
        });
        Trigger(menu::Settings);
    }
    void Activate() {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    // Every control, menu item and status field shows what the state says.
    void ExpectScreenShowsTheState() {
        for (int id = 0; id < kControlCount; ++id) {
            QWidget* w = window->Control(id);
            EXPECT_EQ(w->isEnabled(), p.window.controls[size_t(id)].enabled) << id;
            EXPECT_EQ(w->toolTip(), ToQString(p.window.controls[size_t(id)].tip)) << id;
            QString text;
            if (auto* b = qobject_cast<QPushButton*>(w)) text = b->text();
            else if (auto* l = qobject_cast<QLabel*>(w)) text = l->text();
            else if (auto* f = qobject_cast<QLineEdit*>(w)) text = f->text();
            else if (auto* g = qobject_cast<QGroupBox*>(w)) text = g->title();
            else if (auto* v = qobject_cast<QPlainTextEdit*>(w)) text = v->toPlainText().replace("\n", "\r\n");
            else continue;
            EXPECT_EQ(text, ToQString(ControlText(p, id))) << id;
        }
        for (int id = 0; id < kMenuItemCount; ++id) {
            EXPECT_EQ(window->MenuAction(id)->isEnabled(), p.window.menu[size_t(id)].enabled) << id;
            EXPECT_EQ(window->MenuAction(id)->text(), ToQString(p.window.menu[size_t(id)].text)) << id;
        }
        for (int field = 0; field < kStatusFieldCount; ++field)
            EXPECT_EQ(window->StatusField(field)->text(), ToQString(p.window.status[size_t(field)])) << field;
    }

    test::TempDir dir;
    std::string walk = dir / "walk.txt", other = dir / "other.txt";
    Program p;
    test::TestShell shell;
    std::unique_ptr<QtMainWindow> window;
};

TEST_F(MainWindowTest, ClicksAndTypingReachTheCommandsAndTheScreenFollows) {
    Start();
    ExpectScreenShowsTheState();
    Click(ids::SaveButton1);  // disabled: runs nothing
    EXPECT_EQ(Control<QLineEdit>(ids::KeyframeCounter1)->text(), "Keyframes");
    Open(1, walk);
    Open(2, other);
    EXPECT_EQ(Rows(ids::KeyframeList1), (QStringList{"10", "20", "35"}));
    ClickRow(ids::KeyframeList1, 0);
    ClickRow(ids::KeyframeList1, 2);
    EXPECT_EQ(test::SelectedRows(p.ws.File(1).Rows), (std::vector<size_t>{0, 2}));
    Click(ids::CutButton1);
    EXPECT_EQ(Rows(ids::KeyframeList1), QStringList{"20"});
    EXPECT_EQ(Rows(ids::ClipboardList), (QStringList{"10", "35"}));
    ExpectScreenShowsTheState();
    // Typed fields, a German letter among them, reach the OK command.
    QLineEdit* at = Control<QLineEdit>(ids::AtField);
    at->selectAll();
    QTest::keyClicks(at, "100");
    QTest::keyClicks(Control<QLineEdit>(ids::StepwidthField), "5");
    QTest::keyClicks(Control<QLineEdit>(ids::CommentField), "Gehen ");
    QTest::sendKeyEvent(QTest::Click, Control<QLineEdit>(ids::CommentField), Qt::Key_Udiaeresis,
                        QString::fromUtf8("\xC3\xBC"), Qt::NoModifier);
    Click(ids::ClipboardOkButton);
    EXPECT_EQ(test::RowTexts(p.ws.Clip.Rows), (std::vector<std::string>{"100     Gehen \xC3\xBC", "105     Gehen \xC3\xBC"}));
    Click(ids::PasteButton2);
    EXPECT_EQ(Rows(ids::KeyframeList2), (QStringList{"5", "15", QString::fromUtf8("100     Gehen \xC3\xBC"),
                                                     QString::fromUtf8("105     Gehen \xC3\xBC")}));
    // Row texts of files are Latin-1 bytes, shown as their letters.
    p.ws.File(1).Rows[0].RowText = "20  Sprung \xFC" "ber";
    window->Render();
    EXPECT_EQ(List(ids::KeyframeList1)->item(0)->text(), QString::fromUtf8("20  Sprung \xC3\xBC" "ber"));
    ExpectScreenShowsTheState();
}

TEST_F(MainWindowTest, TheBusyTextIsOnTheScreenWhileACommandWorks) {
    Start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    ProcessEvents();
    QImage onScreen, expected;
    shell.duringOpenDialog = [&] {
        QLabel* field = window->StatusField(4);
        EXPECT_EQ(field->text(), " < ###### < B U S Y > ###### >");
        const QPoint at = field->mapTo(window.get(), QPoint(0, 0));
        onScreen = window->screen()->grabWindow(window->winId(), at.x(), at.y(), field->width(), field->height()).toImage();
        expected = field->grab().toImage();
    };
    Open(1, walk);
    ASSERT_FALSE(onScreen.isNull());
    EXPECT_EQ(onScreen.convertToFormat(QImage::Format_RGB32), expected.convertToFormat(QImage::Format_RGB32));
}

TEST_F(MainWindowTest, TheMenuBarInBothLanguagesWithItsKeys) {
    Start();
    auto outline = [&] {
        QStringList items;
        std::function<void(QMenu*, const QString&)> walkMenu = [&](QMenu* m, const QString& path) {
            for (QAction* a : m->actions())
                if (a->isSeparator()) items << path + "-";
                else if (a->menu()) walkMenu(a->menu(), path + a->text() + "/");
                else items << path + a->text() + "#" + a->property("menuId").toString();
        };
        for (QAction* title : window->menuBar()->actions()) walkMenu(title->menu(), WithoutMnemonic(title->text()) + "/");
        return items;
    };
    // The bar shows the menu table: titles, submenus, separators and items with their ids.
    auto tableOutline = [](Language language, bool rebuilt) {
        QStringList items;
        QStringList path;
        for (const MenuEntry& e : MenuStructure()) {
            const QString prefix = path.join("");
            const QString caption = QString::fromLatin1(Tr(e.caption, language));
            switch (e.kind) {
                case MenuEntryKind::Title: path = {caption + "/"}; break;
                case MenuEntryKind::Submenu: path << caption + "/"; break;
                case MenuEntryKind::EndSubmenu: path.removeLast(); break;
                case MenuEntryKind::Separator: items << prefix + "-"; break;
                case MenuEntryKind::Item:
                    items << prefix + QString::fromLatin1(MenuCaption(e.id, language, rebuilt)) + "#" + QString::number(e.id);
                    break;
            }
        }
        return items;
    };
    EXPECT_EQ(outline(), tableOutline(Language::English, false));
    EXPECT_EQ(outline()[0], "File/Open .../File 1 ...#0");
    Open(1, walk);
    Open(2, other);
    Activate();
    for (QAction* title : window->menuBar()->actions()) {
        QTest::keyClick(window.get(), Qt::Key(WithoutMnemonic(title->text()).front().toUpper().unicode()), Qt::AltModifier);
        EXPECT_EQ(QApplication::activePopupWidget(), title->menu()) << title->text().toStdString();
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        Activate();
    }
    for (const auto& [item, key] : {std::pair{menu::OpenFile1, Qt::CTRL | Qt::Key_O},
                                    {menu::OpenFile2, Qt::CTRL | Qt::SHIFT | Qt::Key_O}, {menu::SaveFile1, Qt::CTRL | Qt::Key_S},
                                    {menu::SaveFile2, Qt::CTRL | Qt::SHIFT | Qt::Key_S}}) {
        QSignalSpy triggered(window->MenuAction(item), &QAction::triggered);
        QTest::keyClick(window.get(), key.key(), key.keyboardModifiers());
        ProcessEvents();
        EXPECT_EQ(triggered.count(), 1) << item;
    }
    // Rebuilt in German, with the state of the refresh; its items run their commands.
    SwitchLanguage(Language::German);
    EXPECT_EQ(outline(), tableOutline(Language::German, true));
    EXPECT_EQ(outline()[6], "Datei/Drucken .../Keyframes Datei1 ...#5");
    ExpectScreenShowsTheState();
    Trigger(menu::Quit);
    ASSERT_EQ(shell.questions.size(), 1u);
    EXPECT_EQ(shell.questions[0].text, "Wollen Sie Vandrel wirklich beenden?");
}

TEST_F(MainWindowTest, F1OpensTheHelpOfTheLanguageAndAMissingViewerGivesTheHint) {
    Start();
    Activate();
    QTest::keyClick(window.get(), Qt::Key_F1);
    ProcessEvents();
    EXPECT_EQ(shell.helpFiles, std::vector<std::string>{"VandrelEnglish.chm"});
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, "The help file < VandrelEnglish.chm > cannot be opened!");
    QtShell real(AboutResources{});
    EXPECT_FALSE(real.OpenHelpFile("VandrelNoSuchHelp.chm"));
}

TEST_F(MainWindowTest, QuitAsksOnceAndOnlyYesEndsTheProgram) {
    Start();
    QObject::connect(window.get(), &QtMainWindow::quitConfirmed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    EXPECT_FALSE(window->close()) << "the close button asks first";
    ASSERT_EQ(shell.questions.size(), 1u);
    EXPECT_EQ(shell.questions[0].title, " Quit");
    for (const bool yes : {false, true}) {
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
        EXPECT_EQ(QApplication::exec() == 0, yes);
        EXPECT_EQ(shell.questions.size(), 1u);
        EXPECT_EQ(window->isVisible(), !yes);
        EXPECT_EQ(p.QuitRequested, yes);
    }
    EXPECT_EQ(test::ReadFile(p.SettingsFileName), "LANGUAGE=0\r\n") << "nothing is saved on quitting";
}

TEST_F(MainWindowTest, TheAboutWindowOpensOverTheMainWindowAndFirstBeforeIt) {
    bool aboutFirst = false;
    WhenModalOpens([&](QWidget* dialog) {
        aboutFirst = dialog->inherits("vandrel::AboutWindow");
        for (QWidget* top : QApplication::topLevelWidgets()) aboutFirst &= !top->inherits("vandrel::QtMainWindow");
        QTest::mouseClick(dialog->findChild<QWidget*>("AboutOkButton"), Qt::LeftButton);
    });
    StartUp(p, shell, true);  // no settings file: a first start
    EXPECT_TRUE(aboutFirst);
    Start("LANGUAGE=1\r\n");
    QString title;
    QWidget* parent = nullptr;
    WhenModalOpens([&](QWidget* dialog) {
        title = dialog->windowTitle();
        parent = dialog->parentWidget();
        QTest::mouseClick(dialog->findChild<QWidget*>("AboutOkButton"), Qt::LeftButton);
    });
    Trigger(menu::About);
    EXPECT_EQ(title, QString::fromUtf8(" \xC3\x9C" "ber"));
    EXPECT_EQ(parent, window.get());
}

TEST_F(MainWindowTest, EveryCaptionFitsItsControlInBothLanguages) {
    const auto check = [this](const char* when) {
        SCOPED_TRACE(when);
        std::vector<QWidget*> captioned = test::CaptionedChildren(window->ClientArea());
        for (int field = 0; field < kStatusFieldCount; ++field) captioned.push_back(window->StatusField(field));
        for (QWidget* c : captioned) {
            SCOPED_TRACE(c->objectName().toStdString());
            const QFont standard = QApplication::font(c), shown = c->font();
            EXPECT_LE(test::CaptionNeeds(c), c->width());
            EXPECT_EQ(shown.family(), standard.family());
            if (shown.pointSizeF() == standard.pointSizeF()) continue;
            // Smaller only where the standard size does not fit, and no smaller than needed.
            EXPECT_LT(shown.pointSizeF(), standard.pointSizeF());
            for (qreal size : {standard.pointSizeF(), shown.pointSizeF() + 0.5}) {
                QFont bigger = shown;
                bigger.setPointSizeF(size);
                c->setFont(bigger);
                EXPECT_GT(test::CaptionNeeds(c), c->width()) << size;
            }
            c->setFont(shown);
        }
    };
    Start("LANGUAGE=1\r\n");
    check("German at the start");
    shell.duringOpenDialog = [&] { check("German, busy"); };
    Open(1, walk);
    Open(2, other);
    shell.duringOpenDialog = nullptr;
    check("German with two files");
    SwitchLanguage(Language::English);
    check("English");
}

TEST_F(MainWindowTest, QtsOwnDialogsSpeakTheProgramsLanguageAndPrintNoPageRange) {
    Start("LANGUAGE=1\r\n");
    auto cancelSeen = [](QString* seen) {
        WhenModalOpens([seen](QWidget* dialog) {
            auto* box = dialog->findChild<QDialogButtonBox*>();
            QAbstractButton* cancel = box ? box->button(QDialogButtonBox::Cancel) : nullptr;
            *seen = cancel ? WithoutMnemonic(cancel->text()) : "";
            qobject_cast<QDialog*>(dialog)->reject();
        });
    };
    for (const auto& [yes, cancel] : {std::pair{"Ja", "Abbrechen"}, std::pair{"Yes", "Cancel"}}) {
        QString seen;
        WhenModalOpens([&](QWidget* dialog) {
            seen = WithoutMnemonic(qobject_cast<QMessageBox*>(dialog)->button(QMessageBox::Yes)->text());
            qobject_cast<QMessageBox*>(dialog)->button(QMessageBox::No)->click();
        });
        shell.QtShell::AskYesNo({" Quit", "?", MessageIcon::Question});
        EXPECT_EQ(seen, yes);
        // The file dialog writes dates and sizes as the language does.
        QLocale::Language dialogLanguage = QLocale::AnyLanguage;
        WhenModalOpens([&](QWidget* dialog) {
            dialogLanguage = dialog->locale().language();
            auto* box = dialog->findChild<QDialogButtonBox*>();
            seen = WithoutMnemonic(box->button(QDialogButtonBox::Cancel)->text());
            qobject_cast<QDialog*>(dialog)->reject();
        });
        shell.QtShell::AskOpenPath({" Open", "Models|*.txt", ""});
        EXPECT_EQ(seen, cancel) << "file dialog";
        EXPECT_EQ(dialogLanguage, QString(cancel) == "Abbrechen" ? QLocale::German : QLocale::English);
        cancelSeen(&seen);
        shell.QtShell::AskPrinter("walk - Keyframes");
        EXPECT_EQ(seen, cancel) << "print dialog";
        SwitchLanguage(Language::English);
    }
    Open(1, walk);
    shell.realPrintDialog = true;
    for (int item : {menu::PrintStatistics1, menu::PrintKeyframes1}) {
        bool rangeOffered = true;
        QString job;
        WhenModalOpens([&](QWidget* dialog) {
            auto* print = qobject_cast<QPrintDialog*>(dialog);
            // With its options open, no control of the dialog offers pages to choose.
            for (QAbstractButton* button : print->findChildren<QAbstractButton*>())
                if (WithoutMnemonic(button->text()).startsWith("Options")) button->click();
            ProcessEvents();
            rangeOffered = print->testOption(QAbstractPrintDialog::PrintPageRange);
            for (QWidget* w : print->findChildren<QWidget*>()) {
                auto* button = qobject_cast<QAbstractButton*>(w);
                const QString text = button ? WithoutMnemonic(button->text()) : QString();
                const bool choice = text.contains("Pages") || text.contains("Current Page") ||
                                    text.contains("Selection") || w->objectName() == "pageSetCombo" ||
                                    (qobject_cast<QSpinBox*>(w) != nullptr && w->objectName() != "copies");
                if (choice && w->isVisibleTo(print) && w->isEnabled()) rangeOffered = true;
            }
            job = print->printer()->docName();
            print->reject();
        });
        Trigger(item);
        EXPECT_FALSE(rangeOffered) << item;
        EXPECT_EQ(job, item == menu::PrintKeyframes1 ? "walk - Keyframes" : "walk - Statistics");
    }
    EXPECT_TRUE(shell.messages.empty()) << "a cancelled print dialog prints nothing and says nothing";
}

// The brightness of the scroll bar's pixels in the middle of a rectangle of it.
int Brightness(QScrollBar* bar, const QRect& part) {
    const QImage image = bar->grab().toImage();
    const qreal scale = image.width() / qreal(bar->width());
    return qGray(image.pixel(int(part.center().x() * scale), int(part.center().y() * scale)));
}

// Where the style puts the handle of a scroll bar, in its own coordinates.
QRect HandleOf(QScrollBar* bar) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.pageStep = bar->pageStep();
    option.singleStep = bar->singleStep();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
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
        const QRect area = screen->availableGeometry(), frame = window->frameGeometry();
        EXPECT_TRUE(area.contains(frame)) << frame.width() << "x" << frame.height();
        // Not one device pixel beyond the free area, at any scale.
        const qreal ratio = screen->devicePixelRatio();
        EXPECT_LE(std::lround(frame.bottom() * ratio), std::lround(area.y() * ratio + std::floor(area.height() * ratio)));
        EXPECT_EQ(window->minimumSize(), window->maximumSize());
        EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
        EXPECT_EQ(window->ClientArea()->size(), QSize(1018, 678));
        // The status bar lies along the bottom edge of the window, outside what scrolls.
        for (int field = 0; field < kStatusFieldCount; ++field) {
            QLabel* status = window->StatusField(field);
            EXPECT_FALSE(window->ClientArea()->isAncestorOf(status)) << field;
            EXPECT_EQ(status->mapTo(window.get(), QPoint(0, status->height())).y(), window->height()) << field;
            EXPECT_GT(status->width(), 0) << field;
        }
        auto* scroll = window->findChild<QScrollArea*>();
        ASSERT_NE(scroll, nullptr);
        const QSize free = area.size() - (frame.size() - window->geometry().size());
        if (free.width() >= 1018 && free.height() >= 700 + window->menuBar()->height()) {
            EXPECT_EQ(scroll->viewport()->size(), QSize(1018, 678));  // held whole, centred
            EXPECT_LE((frame.center() - area.center()).manhattanLength(), 2);
            continue;
        }
        // Otherwise it takes the free area where the layout does not fit, and every control can be scrolled to.
        EXPECT_GE(frame.height(), area.height() - 1);
        EXPECT_EQ(frame.width() >= area.width() - 1, free.width() < 1018);
        for (int id = 0; id < kControlCount; ++id) {
            QWidget* control = window->Control(id);
            const QRect place(control->mapTo(window->ClientArea(), QPoint(0, 0)), control->size());
            scroll->ensureVisible(place.center().x(), place.center().y(), place.width() / 2 + 1, place.height() / 2 + 1);
            const QRect shown(control->mapToGlobal(QPoint(0, 0)), control->size());
            const QRect view(scroll->viewport()->mapToGlobal(QPoint(0, 0)), scroll->viewport()->size());
            EXPECT_TRUE(view.contains(shown) && area.contains(shown)) << control->objectName().toStdString();
        }
        // A handle stands where the content is and looks like one: at the start with the
        // content at its top left, at the end with the content at its bottom right.
        for (QScrollBar* bar : {scroll->verticalScrollBar(), scroll->horizontalScrollBar()}) {
            if (bar->maximum() == 0) continue;
            for (int value : {bar->minimum(), bar->maximum()}) {
                bar->setValue(value);
                ProcessEvents();
                const QRect handle = HandleOf(bar), whole = bar->rect();
                const bool vertical = bar->orientation() == Qt::Vertical;
                const int start = vertical ? handle.top() : handle.left();
                const int end = vertical ? whole.bottom() - handle.bottom() : whole.right() - handle.right();
                EXPECT_LE(value == bar->minimum() ? start : end, 3) << value;
                const QRect groove = value == bar->minimum()
                                         ? (vertical ? QRect(0, handle.bottom() + 1, whole.width(), whole.bottom() - handle.bottom())
                                                     : QRect(handle.right() + 1, 0, whole.right() - handle.right(), whole.height()))
                                         : (vertical ? QRect(0, 0, whole.width(), handle.top())
                                                     : QRect(0, 0, handle.left(), whole.height()));
                if (groove.width() > 4 && groove.height() > 4) {
                    EXPECT_LT(Brightness(bar, handle) + 30, Brightness(bar, groove)) << "the handle is darker than its groove";
                }
            }
        }
        const int top = window->ClientArea()->mapTo(window.get(), QPoint(0, 0)).y();
        scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
        ProcessEvents();
        EXPECT_LE(window->ClientArea()->mapTo(window.get(), QPoint(0, 0)).y(), top) << "the content goes up as the handle goes down";
    }
    // The Clipboard's frame: its title sits on its top line, and every label and
    // field of the frame lies inside it, in both languages.
    for (Language language : {Language::German, Language::English}) {
        p.UiLanguage = language;
        RebuildTexts(p);
        window->Render();
        ProcessEvents();
        auto* box = qobject_cast<QGroupBox*>(window->Control(ids::ClipboardFrame));
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.text = box->title();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        const QRect line = box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, box);
        const QRect title = box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
        EXPECT_LT(title.top(), line.top()) << SettingOfLanguage(language);
        EXPECT_GT(title.bottom(), line.top()) << SettingOfLanguage(language);
        for (int id = 23; id <= ids::ClipboardOkButton; ++id) {
            QWidget* part = window->Control(id);  // a sibling placed over the frame
            const QRect place(part->pos() - box->pos(), part->size());
            EXPECT_TRUE(line.adjusted(1, 1, -1, -1).contains(place)) << part->objectName().toStdString() << " " << SettingOfLanguage(language);
        }
    }
}

TEST_F(MainWindowTest, TabGoesRowByRowAndALongRowShowsWholeAsItsTooltip) {
    Start();
    Open(1, walk);
    Open(2, other);
    List(ids::KeyframeList1)->selectAll();
    Click(ids::CopyButton1);  // now every control is enabled
    Activate();
    window->Control(ids::OpenButton1)->setFocus();
    std::vector<int> order = {ids::OpenButton1};
    for (int i = 0; i < kControlCount; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        const QVariant id = QApplication::focusWidget()->property("controlId");
        if (!id.isValid() || id.toInt() == ids::OpenButton1) break;
        order.push_back(id.toInt());
    }
    // From and To cannot be typed into: no Tab stops.
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4, 5, 11, 12, 13, 14, 15, 16, 17, 18, 30, 32, 31, 33, 19, 20, 21}));

    // A row too long for its list shows whole as its tooltip; a short one shows the list's.
    p.ws.File(1).Rows[1].RowText += "  Jump from the cliff, turn twice in the air and land on both feet";
    window->Render();
    QListWidget* list = List(ids::KeyframeList1);
    for (int row : {1, 0}) {
        const QPoint at = list->visualItemRect(list->item(row)).center();
        QHelpEvent help(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list->viewport(), &help);
        EXPECT_EQ(QToolTip::text(), row == 1 ? list->item(row)->text() : list->toolTip()) << row;
        QToolTip::hideText();
    }
}

TEST_F(MainWindowTest, EnterInTheClipboardsFieldsPressesOkAndEnterOrReturnPressesAFocusedButton) {
    Start();
    Open(1, walk);
    Activate();
    ClickRow(ids::KeyframeList1, 0, Qt::NoModifier);
    window->Control(ids::CopyButton1)->setFocus();
    QTest::keyClick(window->Control(ids::CopyButton1), Qt::Key_Return);
    EXPECT_EQ(Rows(ids::ClipboardList), QStringList{"10"});
    for (auto [field, key, typed, row] : {std::tuple{ids::AtField, Qt::Key_Return, "40", "40"},
                                          std::tuple{ids::StepwidthField, Qt::Key_Enter, "", "40"},
                                          std::tuple{ids::CommentField, Qt::Key_Enter, "jump", "40       jump"}}) {
        auto* edit = Control<QLineEdit>(field);
        edit->setFocus();
        edit->selectAll();
        if (*typed) QTest::keyClicks(edit, typed);
        QTest::keyClick(edit, key);
        ProcessEvents();
        EXPECT_EQ(Rows(ids::ClipboardList), QStringList{row}) << field;
    }
    window->Control(ids::PasteButton1)->setFocus();
    QTest::keyClick(window->Control(ids::PasteButton1), Qt::Key_Enter);
    EXPECT_EQ(Rows(ids::KeyframeList1), (QStringList{"10", "20", "35", "40       jump"}));
}

TEST_F(MainWindowTest, EveryControlThatTakesTheFocusShowsIt) {
    Start();
    Open(1, walk);
    Open(2, other);
    List(ids::KeyframeList1)->selectAll();
    Click(ids::CopyButton1);  // every control is enabled
    Activate();
    // Each control as it looks without the focus, then Tab from control to control.
    window->Control(ids::OpenButton2)->setFocus();
    ProcessEvents();
    std::map<QWidget*, QImage> without{{window->Control(ids::OpenButton1), window->Control(ids::OpenButton1)->grab().toImage()}};
    window->Control(ids::OpenButton1)->setFocus();
    ProcessEvents();
    for (int id = 0; id < kControlCount; ++id)
        if (id != ids::OpenButton1) without[window->Control(id)] = window->Control(id)->grab().toImage();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    for (int step = 0; step < kControlCount; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ProcessEvents();
        QWidget* focused = QApplication::focusWidget();
        ASSERT_TRUE(without.count(focused)) << step;
        EXPECT_NE(focused->grab().toImage(), without[focused]) << focused->objectName().toStdString();
        if (step > 0 && focused == window->Control(ids::OpenButton1)) break;
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
    EXPECT_EQ(Control<QLineEdit>(ids::PathField1)->text(), QString::fromStdString(walk)) << "the text stays as it is";
    window->activateWindow();
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    ProcessEvents();
    EXPECT_EQ(Rows(ids::KeyframeList1), (QStringList{"10", "20", "35"}));
    EXPECT_FALSE(window->Control(ids::SaveButton1)->font().bold());
    EXPECT_TRUE(window->MenuAction(menu::Redo)->isEnabled());
}

}  // namespace
}  // namespace vandrel
