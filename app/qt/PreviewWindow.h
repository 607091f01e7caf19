#pragma once
// The preview: a window beside the main window that poses a model at a
// keyframe and plays a range of frames. It only reads the program's state and
// never changes it: it follows the rows the user clicks in the main window's
// lists and the commands that change the models.
#include <QWidget>
#include <cstdint>

#include "app/Program.h"
#include "preview/PreviewDrawing.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;
class QTimer;

namespace vandrel {

class QtMainWindow;

class PreviewWindow : public QWidget {
    Q_OBJECT

public:
    // A top-level window over `main`, which it follows from then on.
    PreviewWindow(const Program& p, QtMainWindow& main);

    // Reads the shown model again and redraws; texts in the current language.
    void Follow();
    // Shows the model of a list at the frame of one of its rows.
    void ShowRow(PreviewSource source, int row);
    // Starts or stops playing.
    void TogglePlay();

    PreviewSource Source() const { return source_; }
    int64_t Frame() const { return frame_; }
    bool Playing() const;
    // The picture as the window shows it now.
    PreviewDrawing Drawing() const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    friend class PreviewCanvas;
    const KeyframeTable& RowsOf(PreviewSource source) const;
    void Load();
    void SetSource(PreviewSource source);
    void SetFrame(int64_t frame);
    void Step();
    void ShowTexts();
    void ShowFrameRange();
    // The smallest and largest frame of the selected rows of the shown list
    // (of all its rows when fewer than two are selected).
    std::pair<int64_t, int64_t> PlayRange() const;

    const Program& p_;
    QtMainWindow& main_;
    PreviewSource source_ = PreviewSource::File1;
    int64_t frame_ = 0;
    PreviewModel model_;
    PreviewPose pose_;
    PreviewCamera camera_;
    bool stale_ = true;  // the model must be read again before it is shown
    std::pair<int64_t, int64_t> playRange_{0, 0};

    QComboBox* sourceBox_ = nullptr;
    QComboBox* viewBox_ = nullptr;
    QPushButton* playButton_ = nullptr;
    QLabel* rateLabel_ = nullptr;
    QSpinBox* rateBox_ = nullptr;
    QSlider* slider_ = nullptr;
    QWidget* canvas_ = nullptr;
    QTimer* timer_ = nullptr;
};

}  // namespace vandrel
