#include "app/qt/CaptionFont.h"

#include <QFont>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVariant>

namespace vandrel {

namespace {

constexpr qreal kPointStep = 0.25;
constexpr qreal kSmallestPoints = 4;
constexpr int kSmallestPixels = 5;
// The blank QLineEdit keeps on each side of its text, inside its frame.
constexpr int kLineEditTextMargin = 2;

}  // namespace

int CaptionWidth(const QWidget* control, const QString& caption) {
    const QFontMetrics metrics = control->fontMetrics();
    QStyle* style = control->style();
    if (auto* button = qobject_cast<const QPushButton*>(control)) {
        int margins = style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, control) +
                      2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, control);
        if (button->autoDefault() || button->isDefault())
            margins += 2 * style->pixelMetric(QStyle::PM_ButtonDefaultIndicator, nullptr, control);
        return metrics.size(Qt::TextShowMnemonic, caption).width() + margins;
    }
    // A label and a group box measure themselves: text, frame, margin and indent.
    if (auto* label = qobject_cast<const QLabel*>(control)) return label->sizeHint().width();
    if (auto* frame = qobject_cast<const QGroupBox*>(control)) return frame->minimumSizeHint().width();
    if (auto* field = qobject_cast<const QLineEdit*>(control)) {
        const int frameWidth = field->hasFrame() ? style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, control) : 0;
        const QMargins text = field->textMargins();
        return metrics.horizontalAdvance(caption) + 2 * (frameWidth + kLineEditTextMargin) + text.left() + text.right();
    }
    return metrics.horizontalAdvance(caption);
}

void FitCaptionFont(QWidget* control, const QString& caption, bool bold) {
    // A caption is measured once for each width of its control.
    const QString key = QString::number(control->width()) + (bold ? QStringLiteral(":*") : QStringLiteral(":")) + caption;
    const QVariant fitted = control->property("fittedCaption");
    if (fitted.isValid() && fitted.toString() == key) return;
    control->setProperty("fittedCaption", key);
    // An empty font inherits everything: the default GUI font.
    QFont base;
    if (bold) base.setBold(true);
    control->setFont(base);
    if (caption.isEmpty() || CaptionWidth(control, caption) <= control->width()) return;
    QFont font = control->font();
    if (font.pointSizeF() > 0) {
        for (qreal size = font.pointSizeF() - kPointStep; size >= kSmallestPoints; size -= kPointStep) {
            font.setPointSizeF(size);
            control->setFont(font);
            if (CaptionWidth(control, caption) <= control->width()) return;
        }
    } else {
        for (int size = font.pixelSize() - 1; size >= kSmallestPixels; --size) {
            font.setPixelSize(size);
            control->setFont(font);
            if (CaptionWidth(control, caption) <= control->width()) return;
        }
    }
}

}  // namespace vandrel
