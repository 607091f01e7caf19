#include "app/qt/QtMainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QBoxLayout>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStyle>
#include <QWindow>
#include <algorithm>
#include <vector>

#include "app/Commands.h"
#include "app/MainWindow.h"
#include "app/qt/CaptionFont.h"
#include "app/qt/QtText.h"
#include "app/qt/QtTranslations.h"
#include "app/qt/QtWidgets.h"

namespace vandrel {

namespace {

constexpr int kClientWidth = 1018;
constexpr int kClientHeight = 700;  // the controls and the status bar below them
constexpr int kStatusHeight = 22;
// Widths of the status fields in a window of the full width; a narrower window
// gives each its share.
constexpr int kStatusWidths[] = {280, 150, 160, 150, kClientWidth - 740};

// The title half above and half below the top line, the line 6 pixels below the
// frame's top: the labels 15 pixels below it lie inside.
const char* const kClipboardFrameStyle =
    "QGroupBox { border: 1px solid palette(mid); border-radius: 3px; margin-top: 6px; }"
    "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 8px; padding: 0px 3px; "
    "top: 0px; }";

// The window's own scroll bars, for a screen too small for it: a handle that
// stands out from its groove, whatever the style and the scale.
const char* const kClientScrollBarStyle =
    "QScrollBar { background: palette(window); border: 1px solid palette(mid); }"
    "QScrollBar:vertical { width: 14px; } QScrollBar:horizontal { height: 14px; }"
    "QScrollBar::handle { background: palette(dark); border-radius: 3px; margin: 2px; }"
    "QScrollBar::handle:vertical { min-height: 24px; } QScrollBar::handle:horizontal { min-width: 24px; }"
    "QScrollBar::add-line, QScrollBar::sub-line { width: 0px; height: 0px; border: none; }"
    "QScrollBar::add-page, QScrollBar::sub-page { background: none; }";

const QColor kViewBackground(236, 233, 216);

QWidget* MakeControl(const ControlSpec& entry, QWidget* parent) {
    QWidget* widget = nullptr;
    switch (entry.kind) {
        case ControlKind::Button: widget = new QPushButton(parent); break;
        case ControlKind::TextField: widget = new QLineEdit(parent); break;
        case ControlKind::ReadOnlyField: {
            auto* field = new QLineEdit(parent);
            field->setReadOnly(true);
            widget = field;
            break;
        }
        case ControlKind::BorderlessField: widget = MakeBorderlessField(parent); break;
        case ControlKind::Label: widget = new QLabel(parent); break;
        case ControlKind::TextView: {
            auto* view = new QPlainTextEdit(parent);
            view->setReadOnly(true);
            view->setLineWrapMode(QPlainTextEdit::NoWrap);
            view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            widget = view;
            break;
        }
        case ControlKind::MultiList:
        case ControlKind::SingleList: {
            auto* list = new QListWidget(parent);
            list->setSelectionMode(entry.kind == ControlKind::MultiList ? QAbstractItemView::ExtendedSelection
                                                                       : QAbstractItemView::SingleSelection);
            list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            list->setUniformItemSizes(true);
            widget = list;
            break;
        }
        case ControlKind::Frame: widget = new QGroupBox(parent); break;
    }
    widget->setObjectName(QString::fromLatin1(entry.name.data(), qsizetype(entry.name.size())));
    widget->setProperty("controlId", entry.id);
    widget->setGeometry(entry.x, entry.y, entry.width, entry.height);
    return widget;
}

QString Shown(std::string_view bytes) { return ToQString(bytes); }

// Keys of the menu items that have them; the skin shows them beside the caption.
QList<QKeySequence> MenuShortcuts(int menuId) {
    switch (menuId) {
        case menu::OpenFile1: return {QKeySequence(Qt::CTRL | Qt::Key_O)};
        case menu::OpenFile2: return {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O)};
        case menu::SaveFile1: return {QKeySequence(Qt::CTRL | Qt::Key_S)};
        case menu::SaveFile2: return {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)};
        case menu::Undo: return {QKeySequence(Qt::CTRL | Qt::Key_Z)};
        case menu::Redo: return {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)};
        case menu::Preview: return {QKeySequence(Qt::CTRL | Qt::Key_P)};
        default: return {};
    }
}

// A menu title opens with Alt and its first letter; a literal "&" stays one.
QString WithMnemonic(QString caption) {
    caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return caption.isEmpty() ? caption : QLatin1Char('&') + caption;
}

}  // namespace

QtMainWindow::QtMainWindow(Program& p, Shell& shell, QWidget* parent) : QMainWindow(parent), p_(p), shell_(shell) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    // The controls scroll where the screen is too small for them; the status bar
    // stays at the bottom edge of the window.
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    client_ = new QWidget(central);
    client_->setObjectName(QStringLiteral("ClientArea"));
    client_->setFixedSize(kClientWidth, kClientHeight - kStatusHeight);
    scroll_ = new QScrollArea(central);
    scroll_->setObjectName(QStringLiteral("ClientScroll"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setFocusPolicy(Qt::NoFocus);  // Tab goes to the controls, and scrolls to them
    scroll_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scroll_->setWidget(client_);
    for (QScrollBar* bar : {scroll_->verticalScrollBar(), scroll_->horizontalScrollBar()})
        bar->setStyleSheet(QString::fromLatin1(kClientScrollBarStyle));
    column->addWidget(scroll_, 1);
    BuildControls();
    BuildStatusBar();
    column->addWidget(statusBar_);
    setCentralWidget(central);
    BuildMenuBar();
    SetReadingTabOrder(std::vector<QWidget*>(controls_.begin(), controls_.end()));

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setContext(Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this, [this] { RunMenuCommand(menu::HelpContents); });

    Render();
    FitToScreen();
}

void QtMainWindow::BuildControls() {
    for (const ControlSpec& entry : MainWindowControls()) {
        QWidget* widget = MakeControl(entry, client_);
        controls_[size_t(entry.id)] = widget;
        const int id = entry.id;
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            button->setAutoDefault(false);
            button->installEventFilter(this);  // Enter and Return press it
            connect(button, &QPushButton::clicked, this, [this, id] { RunControlCommand(id); });
        } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
            if (id != ids::ClipboardList)
                connect(list, &QListWidget::itemSelectionChanged, this, [this, id] { TakeSelection(id); });
        } else if (id == ids::AtField || id == ids::StepwidthField || id == ids::CommentField) {
            auto* field = static_cast<QLineEdit*>(widget);
            connect(field, &QLineEdit::textEdited, this,
                    [this, id](const QString& text) { p_.window.controls[size_t(id)].text = FromQString(text); });
            // Enter in a field of the Clipboard's edit presses its OK.
            connect(field, &QLineEdit::returnPressed, this, [this] {
                if (ControlEnabled(p_, ids::ClipboardOkButton)) RunControlCommand(ids::ClipboardOkButton);
            });
        } else if (id == ids::FromField || id == ids::ToField) {
            widget->setFocusPolicy(Qt::ClickFocus);  // nothing to type: no Tab stop
        }
    }
    // The frame round the Clipboard's fields: its title sits on its top line, and
    // the line runs below the title's middle, above the labels of the fields.
    controls_[size_t(ids::ClipboardFrame)]->setStyleSheet(QString::fromLatin1(kClipboardFrameStyle));
    // The two statistics views and the Clipboard list stand out from the rest;
    // every view and list shows when it has the focus, rows or none.
    for (int id : {ids::StatisticsView1, ids::KeyframeList1, ids::ClipboardList, ids::KeyframeList2,
                   ids::StatisticsView2}) {
        QWidget* widget = controls_[size_t(id)];
        const bool tinted = id == ids::StatisticsView1 || id == ids::ClipboardList || id == ids::StatisticsView2;
        const QString type = QString::fromLatin1(widget->metaObject()->className());
        widget->setStyleSheet(type + QStringLiteral(" { border: 1px solid palette(mid); background: %1; }").arg(
                                         tinted ? kViewBackground.name() : QStringLiteral("palette(base)")) +
                              type + QStringLiteral(":focus { border: 2px solid palette(highlight); }"));
    }
}

void QtMainWindow::BuildStatusBar() {
    statusBar_ = new QWidget(this);
    statusBar_->setObjectName(QStringLiteral("StatusBar"));
    statusBar_->setFixedHeight(kStatusHeight);
    auto* row = new QHBoxLayout(statusBar_);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (int field = 0; field < kStatusFieldCount; ++field) {
        auto* label = new QLabel(statusBar_);
        label->setObjectName(QStringLiteral("StatusField%1").arg(field));
        label->setTextFormat(Qt::PlainText);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(field == 4 ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        row->addWidget(label, kStatusWidths[field]);
        label->installEventFilter(this);
        status_[size_t(field)] = label;
    }
}

void QtMainWindow::BuildMenuBar() {
    // A new bar replaces the old one whole; the old one goes once its events are done.
    auto* bar = new QMenuBar(this);
    menuActions_.fill(nullptr);
    std::vector<QMenu*> open;  // the title menu and any submenu inside it
    for (const MenuEntry& entry : MenuStructure()) {
        const QString caption = Shown(Tr(entry.caption, p_.UiLanguage));
        switch (entry.kind) {
            case MenuEntryKind::Title:
                open.assign(1, bar->addMenu(WithMnemonic(caption)));
                break;
            case MenuEntryKind::Submenu:
                open.push_back(open.back()->addMenu(caption));
                break;
            case MenuEntryKind::EndSubmenu:
                open.pop_back();
                break;
            case MenuEntryKind::Separator:
                open.back()->addSeparator();
                break;
            case MenuEntryKind::Item: {
                QAction* action = open.back()->addAction(caption);
                action->setObjectName(QStringLiteral("MenuItem%1").arg(entry.id));
                action->setProperty("menuId", entry.id);
                action->setShortcuts(MenuShortcuts(entry.id));
                const int id = entry.id;
                // Queued: the command may replace this very menu bar.
                connect(action, &QAction::triggered, this,
                        [this, id] { QMetaObject::invokeMethod(this, [this, id] { RunMenuCommand(id); }, Qt::QueuedConnection); });
                menuActions_[size_t(id)] = action;
                break;
            }
        }
    }
    setMenuBar(bar);
}

void QtMainWindow::Render() {
    for (int n : {1, 2}) changed_[size_t(n - 1)] = FileChanged(p_, n);
    UseQtTranslations(p_.UiLanguage);
    setWindowTitle(Shown(texts::AppTitle));
    for (int id = 0; id < kControlCount; ++id) RenderControl(id);
    RenderMenu();
    RenderStatus();
}

void QtMainWindow::RenderControl(int id) {
    QWidget* widget = controls_[size_t(id)];
    const ControlState& state = p_.window.controls[size_t(id)];
    const QString text = Shown(ControlText(p_, id));
    // The Save button and the path of a file with unsaved changes are bold.
    const bool bold = ((id == ids::SaveButton1 || id == ids::PathField1) && changed_[0]) ||
                      ((id == ids::SaveButton2 || id == ids::PathField2) && changed_[1]);
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        button->setText(text);
        FitCaptionFont(button, text, bold);
    } else if (auto* field = qobject_cast<QLineEdit*>(widget)) {
        if (field->text() != text) {
            field->setText(text);
            field->setCursorPosition(0);
        }
        if (field->hasFrame() && field->font().bold() != bold) {
            QFont font = field->font();
            font.setBold(bold);
            field->setFont(font);
        }
        if (!field->hasFrame()) FitCaptionFont(field, text);  // a counter, which looks like a label
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(text);
        FitCaptionFont(label, text);
    } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
        frame->setTitle(text);
        FitCaptionFont(frame, text);
    } else if (auto* view = qobject_cast<QPlainTextEdit*>(widget)) {
        QString shown = text;
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (view->toPlainText() != shown) view->setPlainText(shown);
    } else if (qobject_cast<QListWidget*>(widget)) {
        RenderList(id);
    }
    widget->setToolTip(Shown(state.tip));
    widget->setEnabled(state.enabled);
}

void QtMainWindow::RenderList(int id) {
    auto* list = static_cast<QListWidget*>(controls_[size_t(id)]);
    const KeyframeTable& rows = id == ids::KeyframeList1   ? p_.ws.File(1).Rows
                                : id == ids::KeyframeList2 ? p_.ws.File(2).Rows
                                                           : p_.ws.Clip.Rows;
    const QSignalBlocker quiet(list);
    bool same = list->count() == int(rows.size());
    for (int i = 0; same && i < list->count(); ++i) same = list->item(i)->text() == Shown(rows[size_t(i)].RowText);
    if (!same) {
        list->clear();
        QStringList texts;
        texts.reserve(qsizetype(rows.size()));
        for (const KeyframeRow& row : rows) texts.append(Shown(row.RowText));
        list->addItems(texts);
        // A row too long for the list shows whole as its tooltip.
        const int room = list->viewport()->width() - 2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
        for (int i = 0; i < list->count(); ++i)
            if (list->fontMetrics().horizontalAdvance(texts[i]) > room) list->item(i)->setToolTip(texts[i]);
    }
    // The Clipboard list's selection is the user's alone: nothing reads it.
    if (id == ids::ClipboardList) return;
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem* item = list->item(i);
        if (item->isSelected() != rows[size_t(i)].Selected) item->setSelected(rows[size_t(i)].Selected);
    }
}

void QtMainWindow::RenderMenu() {
    for (int id = 0; id < kMenuItemCount; ++id) {
        QAction* action = menuActions_[size_t(id)];
        if (!action) continue;
        action->setText(Shown(p_.window.menu[size_t(id)].text));
        action->setEnabled(p_.window.menu[size_t(id)].enabled);
    }
}

void QtMainWindow::RenderStatus() {
    for (int field = 0; field < kStatusFieldCount; ++field) {
        status_[size_t(field)]->setText(Shown(p_.window.status[size_t(field)]));
        FitCaptionFont(status_[size_t(field)], status_[size_t(field)]->text());
    }
}

void QtMainWindow::PaintStatusNow() {
    RenderStatus();
    if (!isVisible()) return;
    for (QLabel* label : status_) label->repaint();
    // Let the window system take the new pixels before the command blocks the loop;
    // the user's clicks and keys wait for the command, as they always do.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtMainWindow::TakeSelection(int listId) {
    auto* list = static_cast<QListWidget*>(controls_[size_t(listId)]);
    KeyframeTable& rows = p_.ws.File(listId == ids::KeyframeList1 ? 1 : 2).Rows;
    const size_t count = std::min(rows.size(), size_t(list->count()));
    for (size_t i = 0; i < count; ++i) rows[i].Selected = list->item(int(i))->isSelected();
}

template <class Command>
void QtMainWindow::RunCommand(Command&& command) {
    inCommand_ = true;
    command();
    inCommand_ = false;
    AfterCommand();
}

void QtMainWindow::AfterCommand() {
    Render();
    emit commandFinished();
    if (p_.QuitRequested) {
        emit quitConfirmed();
        return;
    }
    if (closePending_) {
        closePending_ = false;
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

void QtMainWindow::RunMenuCommand(int menuId) {
    if (inCommand_) {
        QMetaObject::invokeMethod(this, [this, menuId] { RunMenuCommand(menuId); }, Qt::QueuedConnection);
        return;
    }
    RunCommand([&] {
        // The Settings command rebuilds the texts, and with them the menu bar.
        if (HandleMenu(p_, shell_, menuId) && menuId == menu::Settings) BuildMenuBar();
    });
}

void QtMainWindow::RunControlCommand(int controlId) {
    if (inCommand_) {
        QMetaObject::invokeMethod(this, [this, controlId] { RunControlCommand(controlId); }, Qt::QueuedConnection);
        return;
    }
    RunCommand([&] { HandleControl(p_, shell_, controlId); });
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
    // Quit was answered already (File > Quit): the program closes its windows.
    if (p_.QuitRequested) {
        event->accept();
        return;
    }
    event->ignore();
    if (inCommand_) {
        // Asked while a command paints its busy text: the question comes after it.
        closePending_ = true;
        return;
    }
    inCommand_ = true;
    HandleCloseRequest(p_, shell_);
    inCommand_ = false;
    if (p_.QuitRequested) {
        event->accept();
        emit quitConfirmed();
    }
}

void QtMainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FitToScreen();
    if (QWindow* handle = windowHandle()) {
        handle->removeEventFilter(this);
        handle->installEventFilter(this);
        connect(handle, &QWindow::screenChanged, this, &QtMainWindow::FitToScreen, Qt::UniqueConnection);
    }
}

bool QtMainWindow::eventFilter(QObject* watched, QEvent* event) {
    // On the screen, the window's real frame is known: fit again when it is not
    // the one the window was fitted for.
    QWindow* handle = windowHandle();
    if (watched == handle && (event->type() == QEvent::Expose || event->type() == QEvent::Move) &&
        handle->frameMargins() != fittedFrame_)
        QMetaObject::invokeMethod(this, &QtMainWindow::FitToScreen, Qt::QueuedConnection);
    // Enter or Return on a focused button presses it.
    if (event->type() == QEvent::KeyPress)
        if (auto* button = qobject_cast<QPushButton*>(watched)) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) && button->isEnabled()) {
                button->click();
                return true;
            }
        }
    // A status field takes its share of the window's width: its caption fits anew.
    if (event->type() == QEvent::Resize)
        if (auto* label = qobject_cast<QLabel*>(watched); label && label->parentWidget() == statusBar_)
            FitCaptionFont(label, label->text());
    return QMainWindow::eventFilter(watched, event);
}

void QtMainWindow::FitToScreen() {
    QWindow* handle = windowHandle();
    fittedFrame_ = handle ? handle->frameMargins() : QMargins();
    // Before the window is on the screen its frame is not known yet.
    if (fittedFrame_.isNull() && !(handle && handle->isExposed())) fittedFrame_ = LikelyWindowFrame(this);
    FitWindowToScreen(this, scroll_, kStatusHeight, fittedFrame_);
}

}  // namespace vandrel
