#pragma once
// The About window: picture, program name, version, description, disclaimer.
#include <QDialog>
#include <QFont>
#include <QImage>
#include <string_view>

#include "output/Language.h"

namespace vandrel {

// What the start-up loads once for the About window.
struct AboutResources {
    QImage Picture;  // null when the embedded picture could not be decoded
    QFont TitleFont;
};

// Arial 18 points bold, and the embedded JPEG picture decoded.
AboutResources LoadAboutResources();

// Controls 42 to 50 (46 is not used), each with its id in the property
// "controlId" and its name as object name; texts in `uiLanguage`. Modal: OK or
// the close button leave it.
class AboutWindow : public QDialog {
    Q_OBJECT

public:
    AboutWindow(Language uiLanguage, const AboutResources& resources, QWidget* parent = nullptr);
    QWidget* Control(int id) const;
};

}  // namespace vandrel
