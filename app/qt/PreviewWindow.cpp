#include "app/qt/PreviewWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "app/Texts.h"
#include "app/qt/PreviewPainting.h"
#include "app/qt/QtMainWindow.h"
#include "app/qt/QtText.h"
#include "model/KeyframeTable.h"

namespace vandrel {

namespace {

constexpr int kDefaultRate = 30;  // frames per second
constexpr int kHighestRate = 120;
constexpr double kTurnPerPixel = 0.01;  // radians a drag turns the view per pixel
constexpr double kZoomPerNotch = 1.15;  // one step of a mouse wheel
constexpr double kLeastZoom = 0.05, kMostZoom = 50;
// Frames the slider and the field reach, far inside what an int holds whatever times a file gives.
constexpr double kFarthestFrame = 1e9;

QString Shown(const Bilingual& text, Language uiLanguage) { return ToQString(Tr(text, uiLanguage)); }

}  // namespace

// A slider over the frames with a mark under each keyframe.
class KeyframeSlider : public QSlider {
public:
    explicit KeyframeSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) { setMinimumHeight(26); }
    void SetKeyframes(std::vector<int64_t> keyframes) {
        keyframes_ = std::move(keyframes);
        update();
    }
    const std::vector<int64_t>& Keyframes() const { return keyframes_; }

protected:
    void paintEvent(QPaintEvent* event) override {
        QSlider::paintEvent(event);
        QStyleOptionSlider option;
        initStyleOption(&option);
        const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
        const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
        const int span = groove.width() - handle.width();
        QPainter painter(this);
        painter.setPen(QPen(QColor(200, 40, 40), 2));
        for (int64_t frame : keyframes_) {
            if (frame < minimum() || frame > maximum()) continue;
            const int x = groove.x() + handle.width() / 2 +
                          QStyle::sliderPositionFromValue(minimum(), maximum(), int(frame), span);
            painter.drawLine(x, height() - 6, x, height() - 1);
        }
    }

private:
    std::vector<int64_t> keyframes_;
};

// The picture: drawn by the GL module at the canvas's size. A left drag orbits,
// a middle drag or Shift+left drag pans, the wheel zooms, a double click fits.
class PreviewCanvas : public QWidget {
public:
    explicit PreviewCanvas(PreviewWindow& window) : QWidget(&window), window_(window) {
        setObjectName(QStringLiteral("PreviewCanvas"));
        setMinimumSize(200, 150);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        setFocusPolicy(Qt::StrongFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawImage(0, 0, window_.Picture());
    }
    void mousePressEvent(QMouseEvent* event) override {
        last_ = event->position();
        setFocus();
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        const QPointF moved = event->position() - last_;
        last_ = event->position();
        PreviewCamera& camera = window_.cameras_[size_t(window_.source_)];
        const bool pan = (event->buttons() & Qt::MiddleButton) ||
                         ((event->buttons() & Qt::LeftButton) && (event->modifiers() & Qt::ShiftModifier));
        if (pan) {
            // A drag of half the picture's height moves the view by a framed half height.
            const double half = std::max(1.0, height() / 2.0);
            camera.Pan += glm::dvec2(moved.x(), -moved.y()) / half / camera.Zoom;
        } else if (event->buttons() & Qt::LeftButton) {
            const glm::dvec2 angles = ViewAngles(camera);
            camera.Yaw = angles.x + moved.x() * kTurnPerPixel;
            camera.Pitch = angles.y + moved.y() * kTurnPerPixel;
            camera.View = PreviewView::Free;
            const QSignalBlocker quiet(window_.viewBox_);
            window_.viewBox_->setCurrentIndex(int(PreviewView::Free));
        } else {
            return;
        }
        update();
    }
    void wheelEvent(QWheelEvent* event) override {
        double& zoom = window_.cameras_[size_t(window_.source_)].Zoom;
        zoom = std::clamp(zoom * std::pow(kZoomPerNotch, event->angleDelta().y() / 120.0), kLeastZoom, kMostZoom);
        update();
    }
    void mouseDoubleClickEvent(QMouseEvent*) override { window_.Fit(); }

private:
    PreviewWindow& window_;
    QPointF last_;
};

PreviewWindow::PreviewWindow(const Program& p, QtMainWindow& main)
    : QWidget(&main, Qt::Window), p_(p), main_(main), renderer_(std::make_unique<GlPreviewRenderer>()) {
    setObjectName(QStringLiteral("PreviewWindow"));
    sourceBox_ = new QComboBox(this);
    viewBox_ = new QComboBox(this);
    for (int i = 0; i < 3; ++i) sourceBox_->addItem(QString());
    for (int i = 0; i < 4; ++i) viewBox_->addItem(QString());
    // The boxes take the width of their longest item in either language.
    for (QComboBox* box : {sourceBox_, viewBox_}) box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    fitButton_ = new QPushButton(this);
    texturedBox_ = new QCheckBox(this);
    wireBox_ = new QCheckBox(this);
    skeletonBox_ = new QCheckBox(this);
    gridBox_ = new QCheckBox(this);
    texturedBox_->setChecked(true);
    skeletonBox_->setChecked(true);
    gridBox_->setChecked(true);
    previousKeyButton_ = new QPushButton(QStringLiteral("<<"), this);
    previousButton_ = new QPushButton(QStringLiteral("<"), this);
    playButton_ = new QPushButton(this);
    nextButton_ = new QPushButton(QStringLiteral(">"), this);
    nextKeyButton_ = new QPushButton(QStringLiteral(">>"), this);
    for (QPushButton* b : {previousKeyButton_, previousButton_, nextButton_, nextKeyButton_}) b->setMaximumWidth(40);
    frameLabel_ = new QLabel(this);
    frameBox_ = new QSpinBox(this);
    frameBox_->setRange(-int(kFarthestFrame), int(kFarthestFrame));
    frameBox_->setKeyboardTracking(false);
    frameLabel_->setBuddy(frameBox_);
    slider_ = new KeyframeSlider(this);
    loopBox_ = new QCheckBox(this);
    loopBox_->setChecked(true);
    rateLabel_ = new QLabel(this);
    rateBox_ = new QSpinBox(this);
    rateBox_->setRange(1, kHighestRate);
    rateBox_->setValue(kDefaultRate);
    rateLabel_->setBuddy(rateBox_);
    canvas_ = new PreviewCanvas(*this);
    timer_ = new QTimer(this);
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setInterval(qRound(1000.0 / kDefaultRate));

    auto* bar = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{sourceBox_, viewBox_, fitButton_, texturedBox_, wireBox_,
                                                      skeletonBox_, gridBox_})
        bar->addWidget(w);
    bar->addStretch();
    auto* timeline = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{previousKeyButton_, previousButton_, playButton_, nextButton_,
                                                      nextKeyButton_, frameLabel_, frameBox_})
        timeline->addWidget(w);
    timeline->addWidget(slider_, 1);
    for (QWidget* w : std::initializer_list<QWidget*>{loopBox_, rateLabel_, rateBox_}) timeline->addWidget(w);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(canvas_, 1);
    layout->addLayout(timeline);
    resize(720, 600);

    connect(sourceBox_, &QComboBox::activated, this, [this](int index) { SetSource(PreviewSource(index)); });
    connect(viewBox_, &QComboBox::activated, this, [this](int index) {
        cameras_[size_t(source_)].View = PreviewView(index);
        canvas_->update();
    });
    connect(fitButton_, &QPushButton::clicked, this, &PreviewWindow::Fit);
    for (QCheckBox* box : {texturedBox_, wireBox_, skeletonBox_, gridBox_})
        connect(box, &QCheckBox::toggled, canvas_, qOverload<>(&QWidget::update));
    connect(previousKeyButton_, &QPushButton::clicked, this, [this] { StepKeyframe(-1); });
    connect(previousButton_, &QPushButton::clicked, this, [this] { StepFrame(-1); });
    connect(playButton_, &QPushButton::clicked, this, &PreviewWindow::TogglePlay);
    connect(nextButton_, &QPushButton::clicked, this, [this] { StepFrame(1); });
    connect(nextKeyButton_, &QPushButton::clicked, this, [this] { StepKeyframe(1); });
    connect(frameBox_, &QSpinBox::valueChanged, this, [this](int frame) { SetFrame(frame); });
    connect(slider_, &QSlider::valueChanged, this, [this](int frame) { SetFrame(frame); });
    connect(rateBox_, &QSpinBox::valueChanged, this, [this](int rate) { timer_->setInterval(qRound(1000.0 / rate)); });
    connect(timer_, &QTimer::timeout, this, &PreviewWindow::Step);
    connect(&main, &QtMainWindow::commandFinished, this, &PreviewWindow::Follow);

    const std::pair<QKeySequence, std::function<void()>> keys[] = {
        {QKeySequence(Qt::Key_Left), [this] { StepFrame(-1); }},
        {QKeySequence(Qt::Key_Right), [this] { StepFrame(1); }},
        {QKeySequence(Qt::Key_PageUp), [this] { StepKeyframe(-1); }},
        {QKeySequence(Qt::Key_PageDown), [this] { StepKeyframe(1); }},
        {QKeySequence(Qt::CTRL | Qt::Key_Left), [this] { StepKeyframe(-1); }},
        {QKeySequence(Qt::CTRL | Qt::Key_Right), [this] { StepKeyframe(1); }},
        {QKeySequence(Qt::Key_Space), [this] { TogglePlay(); }},
        {QKeySequence(Qt::Key_F), [this] { Fit(); }},
    };
    for (const auto& [sequence, action] : keys) {
        auto* shortcut = new QShortcut(sequence, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, action);
    }

    const std::pair<int, PreviewSource> lists[] = {{ids::KeyframeList1, PreviewSource::File1},
                                                   {ids::ClipboardList, PreviewSource::Clipboard},
                                                   {ids::KeyframeList2, PreviewSource::File2}};
    for (const auto& [id, source] : lists) {
        auto* list = qobject_cast<QListWidget*>(main.Control(id));
        if (!list) continue;
        connect(list, &QListWidget::itemClicked, this,
                [this, list, source = source](QListWidgetItem* item) { ShowRow(source, list->row(item)); });
        connect(list, &QListWidget::currentRowChanged, this, [this, source = source](int row) { ShowRow(source, row); });
    }
    ShowTexts();
    canvas_->setFocus();
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::ShowTexts() {
    const Language language = p_.UiLanguage;
    setWindowTitle(Shown(texts::PreviewTitle, language));
    const Bilingual* sources[] = {&texts::PreviewFile1, &texts::PreviewFile2, &texts::PreviewClipboard};
    for (int i = 0; i < 3; ++i) sourceBox_->setItemText(i, Shown(*sources[i], language));
    const Bilingual* views[] = {&texts::ViewFront, &texts::ViewSide, &texts::ViewTop, &texts::ViewFree};
    for (int i = 0; i < 4; ++i) viewBox_->setItemText(i, Shown(*views[i], language));
    fitButton_->setText(Shown(texts::Fit, language));
    fitButton_->setToolTip(Shown(texts::FitTip, language));
    texturedBox_->setText(Shown(texts::Textured, language));
    wireBox_->setText(Shown(texts::Wireframe, language));
    skeletonBox_->setText(Shown(texts::Skeleton, language));
    gridBox_->setText(Shown(texts::Grid, language));
    previousKeyButton_->setToolTip(Shown(texts::PreviousKeyframe, language));
    previousButton_->setToolTip(Shown(texts::PreviousFrame, language));
    nextButton_->setToolTip(Shown(texts::NextFrame, language));
    nextKeyButton_->setToolTip(Shown(texts::NextKeyframe, language));
    playButton_->setText(Shown(Playing() ? texts::Pause : texts::Play, language));
    playButton_->setToolTip(Shown(texts::PlayTip, language));
    frameLabel_->setText(Shown(texts::FrameField, language));
    loopBox_->setText(Shown(texts::Loop, language));
    rateLabel_->setText(Shown(texts::FramesPerSecond, language));
}

void PreviewWindow::Follow() {
    ShowTexts();
    // A hidden preview reads the model when it is shown again.
    if (isVisible()) Load();
    else stale_ = true;
}

void PreviewWindow::Load() {
    model_ = ReadPreviewModel(p_.ws, source_);
    shot_.Bounds = AnimationBounds(model_);
    renderer_->SetTextures(LoadPreviewTextures(model_));
    stale_ = false;
    ShowFrameRange();
    // It opens at the first keyframe, unless a row was clicked.
    if (!placed_) {
        const std::vector<int64_t> keyframes = Keyframes();
        if (!keyframes.empty()) frame_ = keyframes.front();
        else frame_ = slider_->minimum();
        placed_ = true;
    }
    SetFrame(frame_);
}

const KeyframeTable& PreviewWindow::RowsOf(PreviewSource source) const {
    if (source == PreviewSource::Clipboard) return p_.ws.Clip.Rows;
    return p_.ws.File(source == PreviewSource::File1 ? 1 : 2).Rows;
}

std::vector<int64_t> PreviewWindow::Keyframes() const {
    std::vector<int64_t> frames;
    for (const KeyframeRow& row : RowsOf(source_)) frames.push_back(FrameNumberOfRow(row));
    std::sort(frames.begin(), frames.end());
    frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
    return frames;
}

void PreviewWindow::ShowRow(PreviewSource source, int row) {
    const KeyframeTable& rows = RowsOf(source);
    if (row < 0 || size_t(row) >= rows.size()) return;
    frame_ = FrameNumberOfRow(rows[size_t(row)]);
    placed_ = true;
    if (source != source_) SetSource(source);
    else SetFrame(frame_);
}

void PreviewWindow::SetSource(PreviewSource source) {
    source_ = source;
    const QSignalBlocker quiet(sourceBox_);
    sourceBox_->setCurrentIndex(int(source));
    const QSignalBlocker quietView(viewBox_);
    viewBox_->setCurrentIndex(int(cameras_[size_t(source)].View));
    Follow();
}

void PreviewWindow::SetFrame(int64_t frame) {
    frame_ = std::clamp<int64_t>(frame, -int64_t(kFarthestFrame), int64_t(kFarthestFrame));
    if (!stale_) PoseModel(model_, double(frame_), shot_.Pose);
    const QSignalBlocker quiet(slider_);
    slider_->setValue(int(std::clamp<int64_t>(frame_, slider_->minimum(), slider_->maximum())));
    const QSignalBlocker quietField(frameBox_);
    frameBox_->setValue(int(frame_));
    canvas_->update();
}

void PreviewWindow::StepFrame(int by) { SetFrame(frame_ + by); }

void PreviewWindow::StepKeyframe(int by) {
    const std::vector<int64_t> frames = Keyframes();
    if (by > 0) {
        const auto next = std::upper_bound(frames.begin(), frames.end(), frame_);
        if (next != frames.end()) SetFrame(*next);
    } else {
        const auto next = std::lower_bound(frames.begin(), frames.end(), frame_);
        if (next != frames.begin()) SetFrame(*std::prev(next));
    }
}

void PreviewWindow::Fit() {
    PreviewCamera& camera = cameras_[size_t(source_)];
    camera.Zoom = 1;
    camera.Pan = glm::dvec2(0.0);
    canvas_->update();
}

void PreviewWindow::ShowFrameRange() {
    const auto range = KeyTimeRange(model_);
    const std::vector<int64_t> keyframes = Keyframes();
    double first = range ? std::floor(range->first) : double(frame_);
    double last = range ? std::ceil(range->second) : first;
    if (!keyframes.empty()) {
        first = std::min(first, double(keyframes.front()));
        last = std::max(last, double(keyframes.back()));
    }
    first = std::clamp(first, -kFarthestFrame, kFarthestFrame);
    last = std::clamp(last, first, kFarthestFrame);
    const QSignalBlocker quiet(slider_);
    slider_->setRange(int(first), int(last));
    slider_->SetKeyframes(keyframes);
}

std::pair<int64_t, int64_t> PreviewWindow::PlayRange() const {
    const KeyframeTable& rows = RowsOf(source_);
    // The Clipboard list's selection lives in the main window's list alone.
    auto* clipboardList = qobject_cast<QListWidget*>(main_.Control(ids::ClipboardList));
    auto selected = [&](size_t i) {
        if (source_ != PreviewSource::Clipboard) return rows[i].Selected;
        return clipboardList && int(i) < clipboardList->count() && clipboardList->item(int(i))->isSelected();
    };
    std::vector<int64_t> chosen, all;
    for (size_t i = 0; i < rows.size(); ++i) {
        const int64_t frame = FrameNumberOfRow(rows[i]);
        all.push_back(frame);
        if (selected(i)) chosen.push_back(frame);
    }
    const std::vector<int64_t>& frames = chosen.size() >= 2 ? chosen : all;
    if (frames.empty()) return {slider_->minimum(), slider_->maximum()};
    const auto [low, high] = std::minmax_element(frames.begin(), frames.end());
    return {*low, *high};
}

bool PreviewWindow::Playing() const { return timer_->isActive(); }
bool PreviewWindow::Looping() const { return loopBox_->isChecked(); }

void PreviewWindow::TogglePlay() {
    if (Playing()) {
        timer_->stop();
    } else {
        playRange_ = PlayRange();
        if (frame_ < playRange_.first || frame_ >= playRange_.second) SetFrame(playRange_.first);
        timer_->start();
    }
    ShowTexts();
}

void PreviewWindow::Step() {
    const auto [first, last] = playRange_;
    if (frame_ >= last && !Looping()) {
        timer_->stop();
        ShowTexts();
        return;
    }
    SetFrame(frame_ < first || frame_ >= last ? first : frame_ + 1);
}

PreviewLook PreviewWindow::Look() const {
    PreviewLook look;
    look.Textured = texturedBox_->isChecked();
    look.Wire = wireBox_->isChecked();
    look.Skeleton = skeletonBox_->isChecked();
    look.Grid = gridBox_->isChecked();
    return look;
}

const PreviewShot& PreviewWindow::Shot() {
    shot_.Width = std::max(1, canvas_->width());
    shot_.Height = std::max(1, canvas_->height());
    shot_.Matrices = FrameView(shot_.Bounds, Camera(), shot_.Width, shot_.Height);
    shot_.Look = Look();
    shot_.Label = DecimalText(frame_);
    return shot_;
}

QImage PreviewWindow::Picture() {
    if (stale_) Load();
    return PreviewImage(*renderer_, model_, Shot());
}

void PreviewWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (stale_) Load();
}

void PreviewWindow::hideEvent(QHideEvent* event) {
    timer_->stop();
    ShowTexts();
    QWidget::hideEvent(event);
}

}  // namespace vandrel
