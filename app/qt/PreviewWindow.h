#pragma once
// The preview: a window beside the main window that shows a model posed at a
// frame, solid and textured, and plays its animation. It only reads the
// program's state and never changes it: it follows the rows the user clicks in
// the main window's lists and the commands that change the models.
//
// Mouse: left drag orbits, middle drag or Shift+left drag pans, the wheel
// zooms, a double click frames the whole animation. Keys: Left and Right step
// a frame, Page Up and Page Down (or Ctrl+Left and Ctrl+Right) go to the
// previous and next keyframe, Space plays and pauses, F frames the animation.
#include <QImage>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/Program.h"
#include "preview/GlPreview.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTimer;

namespace vandrel {

class QtMainWindow;
class PreviewCanvas;
class KeyframeSlider;

class PreviewWindow : public QWidget {
    Q_OBJECT

public:
    // A top-level window over `main`, which it follows from then on.
    PreviewWindow(const Program& p, QtMainWindow& main);
    ~PreviewWindow() override;

    // Reads the shown model again and redraws; texts in the current language.
    void Follow();
    // Shows the model of a list at the frame of one of its rows.
    void ShowRow(PreviewSource source, int row);
    // Starts or stops playing.
    void TogglePlay();
    // The previous or next frame; the previous or next keyframe (row) of the list.
    void StepFrame(int by);
    void StepKeyframe(int by);
    // Frames the whole animation again: the zoom and pan of the shown view go back.
    void Fit();

    PreviewSource Source() const { return source_; }
    int64_t Frame() const { return frame_; }
    bool Playing() const;
    bool Looping() const;
    // What the window shows now: the model's pose, view and look, and its picture.
    const PreviewShot& Shot();
    const PreviewCamera& Camera() const { return cameras_[size_t(source_)]; }
    QImage Picture();

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
    PreviewLook Look() const;
    // The frames of the shown list's rows, ascending.
    std::vector<int64_t> Keyframes() const;
    // The smallest and largest frame of the selected rows of the shown list
    // (of all its rows when fewer than two are selected).
    std::pair<int64_t, int64_t> PlayRange() const;

    const Program& p_;
    QtMainWindow& main_;
    PreviewSource source_ = PreviewSource::File1;
    int64_t frame_ = 0;
    PreviewModel model_;
    PreviewShot shot_;  // the pose and bounds kept; the rest is set when it is asked for
    std::array<PreviewCamera, 3> cameras_;  // each list keeps its own view
    bool stale_ = true;   // the model must be read again before it is shown
    bool placed_ = false;  // the frame was set by a row or a key, not left at the start
    std::pair<int64_t, int64_t> playRange_{0, 0};
    std::unique_ptr<GlPreviewRenderer> renderer_;

    QComboBox* sourceBox_ = nullptr;
    QComboBox* viewBox_ = nullptr;
    QPushButton* fitButton_ = nullptr;
    QCheckBox* texturedBox_ = nullptr;
    QCheckBox* wireBox_ = nullptr;
    QCheckBox* skeletonBox_ = nullptr;
    QCheckBox* gridBox_ = nullptr;
    QPushButton* previousKeyButton_ = nullptr;
    QPushButton* previousButton_ = nullptr;
    QPushButton* playButton_ = nullptr;
    QPushButton* nextButton_ = nullptr;
    QPushButton* nextKeyButton_ = nullptr;
    QLabel* frameLabel_ = nullptr;
    QSpinBox* frameBox_ = nullptr;
    KeyframeSlider* slider_ = nullptr;
    QCheckBox* loopBox_ = nullptr;
    QLabel* rateLabel_ = nullptr;
    QSpinBox* rateBox_ = nullptr;
    PreviewCanvas* canvas_ = nullptr;
    QTimer* timer_ = nullptr;
};

}  // namespace vandrel
