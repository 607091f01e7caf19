#include "app/qt/AboutWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/Texts.h"
#include "app/qt/CaptionFont.h"
#include "app/qt/EmbeddedPictures.h"
#include "app/qt/JpegPicture.h"
#include "app/qt/QtText.h"
#include "app/qt/QtWidgets.h"

namespace vandrel {

namespace {

constexpr int kWidth = 540;
constexpr int kHeight = 330;
const QColor kViewBackground(236, 233, 216);

struct Place {
    int id;
    const char* name;
    int x, y, width, height;
};

constexpr Place kPlaces[] = {
    {42, "AboutPicture", 20, 20, 122, 150},   {43, "ProgramName", 160, 20, 290, 30},
    {44, "VersionLine", 160, 50, 290, 20},    {45, "DescriptionView", 160, 70, 360, 100},
    {47, "DisclaimerHeading", 20, 190, 480, 15}, {48, "DisclaimerView", 20, 210, 500, 60},
    {49, "CopyrightField", 20, 290, 310, 20}, {50, "AboutOkButton", 440, 280, 80, 30},
};

void PutAt(QWidget* widget, int id) {
    for (const auto& place : kPlaces) {
        if (place.id != id) continue;
        widget->setObjectName(QString::fromLatin1(place.name));
        widget->setProperty("controlId", id);
        widget->setGeometry(place.x, place.y, place.width, place.height);
    }
}

QPlainTextEdit* MakeTextView(QWidget* parent, const std::string& text) {
    auto* view = new QPlainTextEdit(parent);
    view->setReadOnly(true);
    QString shown = ToQString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    view->setPlainText(shown);
    QPalette palette = view->palette();
    palette.setColor(QPalette::Base, kViewBackground);
    view->setPalette(palette);
    return view;
}

}  // namespace

AboutResources LoadAboutResources() {
    QFont title(QStringLiteral("Arial"), 18, QFont::Bold);
    return {DecodeJpeg(AboutPictureJpeg()), title};
}

AboutWindow::AboutWindow(Language uiLanguage, const AboutResources& resources, QWidget* parent) : QDialog(parent) {
    MakeFixedDialog(this, kWidth, kHeight);
    setWindowTitle(ToQString(Tr(texts::AboutTitle, uiLanguage)));

    auto* picture = new QLabel(this);
    if (!resources.Picture.isNull()) picture->setPixmap(QPixmap::fromImage(resources.Picture));
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PutAt(picture, 42);

    auto* name = new QLabel(ToQString(texts::AppTitle.substr(1)), this);
    name->setFont(resources.TitleFont);
    PutAt(name, 43);

    QLineEdit* version = MakeBorderlessField(this);
    version->setText(ToQString(Tr(texts::VersionLine, uiLanguage)));
    PutAt(version, 44);

    PutAt(MakeTextView(this, AboutDescription(uiLanguage)), 45);

    auto* heading = new QLabel(ToQString(Tr(texts::DisclaimerHeading, uiLanguage)), this);
    PutAt(heading, 47);

    PutAt(MakeTextView(this, AboutDisclaimer(uiLanguage)), 48);

    QLineEdit* copyright = MakeBorderlessField(this);
    copyright->setText(ToQString(texts::CopyrightLine));
    PutAt(copyright, 49);

    auto* ok = new QPushButton(ToQString(Tr(texts::Ok, uiLanguage)), this);
    ok->setDefault(true);
    PutAt(ok, 50);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    FitCaptionFont(version, version->text());
    FitCaptionFont(heading, heading->text());
    FitCaptionFont(copyright, copyright->text());
    FitCaptionFont(ok, ok->text());

    CentreOnScreen(this);
}

QWidget* AboutWindow::Control(int id) const {
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->property("controlId").toInt() == id && child->property("controlId").isValid()) return child;
    return nullptr;
}

}  // namespace vandrel
