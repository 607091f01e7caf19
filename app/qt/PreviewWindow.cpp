#include "app/qt/PreviewWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <vector>

#include "app/Texts.h"
#include "app/qt/PreviewPainting.h"
#include "app/qt/QtMainWindow.h"
#include "app/qt/QtText.h"
#include "model/IntegerValue.h"

namespace vandrel {

namespace {

constexpr int kDefaultRate = 30;  // frames per second
constexpr int kHighestRate = 120;
constexpr double kTurnPerPixel = 0.01;  // radians a drag turns the free view per pixel
constexpr double kZoomPerNotch = 1.15;  // one step of a mouse wheel
constexpr double kLeastZoom = 0.05, kMostZoom = 50;
// Slider ends, far inside what an int holds whatever times a file gives.
constexpr double kFarthestFrame = 1e9;

QString Shown(const Bilingual& text, int uiLanguage) { return ToQString(Tr(text, uiLanguage)); }

}  // namespace

// The picture: painted from the window's model and pose at its own size; a drag
// turns the view, the wheel zooms, a double click frames the whole model.
class PreviewCanvas : public QWidget {
public:
    explicit PreviewCanvas(PreviewWindow& window) : QWidget(&window), window_(window) {
        setMinimumSize(200, 150);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        PaintPreview(painter, window_.Drawing());
    }
    void mousePressEvent(QMouseEvent* event) override { last_ = event->position(); }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (!(event->buttons() & Qt::LeftButton)) return;
        const QPointF moved = event->position() - last_;
        last_ = event->position();
        PreviewCamera& camera = window_.camera_;
        const glm::dvec2 angles = ViewAngles(camera);
        camera.Yaw = angles.x + moved.x() * kTurnPerPixel;
        camera.Pitch = angles.y + moved.y() * kTurnPerPixel;
        camera.View = PreviewView::Free;
        const QSignalBlocker quiet(window_.viewBox_);
        window_.viewBox_->setCurrentIndex(int(PreviewView::Free));
        update();
    }
    void wheelEvent(QWheelEvent* event) override {
        double& zoom = window_.camera_.Zoom;
        zoom = std::clamp(zoom * std::pow(kZoomPerNotch, event->angleDelta().y() / 120.0), kLeastZoom, kMostZoom);
        update();
    }
    void mouseDoubleClickEvent(QMouseEvent*) override {
        window_.camera_.Zoom = 1;
        update();
    }

private:
    PreviewWindow& window_;
    QPointF last_;
};

PreviewWindow::PreviewWindow(const Program& p, QtMainWindow& main)
    : QWidget(&main, Qt::Window), p_(p), main_(main) {
    setObjectName(QStringLiteral("PreviewWindow"));
    sourceBox_ = new QComboBox(this);
    viewBox_ = new QComboBox(this);
    playButton_ = new QPushButton(this);
    rateLabel_ = new QLabel(this);
    rateBox_ = new QSpinBox(this);
    rateBox_->setRange(1, kHighestRate);
    rateBox_->setValue(kDefaultRate);
    rateLabel_->setBuddy(rateBox_);
    canvas_ = new PreviewCanvas(*this);
    slider_ = new QSlider(Qt::Horizontal, this);
    timer_ = new QTimer(this);
    timer_->setTimerType(Qt::PreciseTimer);
    for (int i = 0; i < 3; ++i) sourceBox_->addItem(QString());
    for (int i = 0; i < 4; ++i) viewBox_->addItem(QString());
    // The boxes take the width of their longest item in either language.
    for (QComboBox* box : {sourceBox_, viewBox_}) box->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    auto* bar = new QHBoxLayout;
    bar->addWidget(sourceBox_);
    bar->addWidget(viewBox_);
    bar->addStretch();
    bar->addWidget(playButton_);
    bar->addWidget(rateLabel_);
    bar->addWidget(rateBox_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(canvas_, 1);
    layout->addWidget(slider_);
    resize(640, 560);

    connect(sourceBox_, &QComboBox::activated, this, [this](int index) { SetSource(PreviewSource(index)); });
    connect(viewBox_, &QComboBox::activated, this, [this](int index) {
        camera_.View = PreviewView(index);
        canvas_->update();
    });
    connect(playButton_, &QPushButton::clicked, this, &PreviewWindow::TogglePlay);
    connect(rateBox_, &QSpinBox::valueChanged, this, [this](int rate) { timer_->setInterval(qRound(1000.0 / rate)); });
    connect(slider_, &QSlider::valueChanged, this, [this](int frame) { SetFrame(frame); });
    connect(timer_, &QTimer::timeout, this, &PreviewWindow::Step);
    connect(&main, &QtMainWindow::commandFinished, this, &PreviewWindow::Follow);
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
    timer_->setInterval(qRound(1000.0 / kDefaultRate));
    ShowTexts();
}

void PreviewWindow::ShowTexts() {
    const int language = p_.UiLanguage;
    setWindowTitle(Shown(texts::PreviewTitle, language));
    const Bilingual* sources[] = {&texts::PreviewFile1, &texts::PreviewFile2, &texts::PreviewClipboard};
    for (int i = 0; i < 3; ++i) sourceBox_->setItemText(i, Shown(*sources[i], language));
    const Bilingual* views[] = {&texts::ViewFront, &texts::ViewSide, &texts::ViewTop, &texts::ViewFree};
    for (int i = 0; i < 4; ++i) viewBox_->setItemText(i, Shown(*views[i], language));
    playButton_->setText(Shown(Playing() ? texts::Pause : texts::Play, language));
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
    stale_ = false;
    ShowFrameRange();
    SetFrame(frame_);
}

const KeyframeTable& PreviewWindow::RowsOf(PreviewSource source) const {
    if (source == PreviewSource::Clipboard) return p_.ws.Clip.Rows;
    return p_.ws.File(source == PreviewSource::File1 ? 1 : 2).Rows;
}

void PreviewWindow::ShowRow(PreviewSource source, int row) {
    const KeyframeTable& rows = RowsOf(source);
    if (row < 0 || size_t(row) >= rows.size()) return;
    frame_ = IntegerValue(rows[size_t(row)].RowText);
    if (source != source_) SetSource(source);
    else SetFrame(frame_);
}

void PreviewWindow::SetSource(PreviewSource source) {
    source_ = source;
    const QSignalBlocker quiet(sourceBox_);
    sourceBox_->setCurrentIndex(int(source));
    Follow();
}

void PreviewWindow::SetFrame(int64_t frame) {
    frame_ = frame;
    if (!stale_) PoseModel(model_, double(frame_), pose_);
    const QSignalBlocker quiet(slider_);
    slider_->setValue(int(std::clamp<int64_t>(frame_, slider_->minimum(), slider_->maximum())));
    canvas_->update();
}

void PreviewWindow::ShowFrameRange() {
    const auto range = KeyTimeRange(model_);
    const double first = range ? std::clamp(std::floor(range->first), -kFarthestFrame, kFarthestFrame) : double(frame_);
    const double last = range ? std::clamp(std::ceil(range->second), -kFarthestFrame, kFarthestFrame) : first;
    const QSignalBlocker quiet(slider_);
    slider_->setRange(int(first), int(last));
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
        const int64_t frame = IntegerValue(rows[i].RowText);
        all.push_back(frame);
        if (selected(i)) chosen.push_back(frame);
    }
    const std::vector<int64_t>& frames = chosen.size() >= 2 ? chosen : all;
    if (frames.empty()) return {slider_->minimum(), slider_->maximum()};
    const auto [low, high] = std::minmax_element(frames.begin(), frames.end());
    return {*low, *high};
}

bool PreviewWindow::Playing() const { return timer_->isActive(); }

void PreviewWindow::TogglePlay() {
    if (Playing()) {
        timer_->stop();
    } else {
        playRange_ = PlayRange();
        if (frame_ < playRange_.first || frame_ > playRange_.second) SetFrame(playRange_.first);
        timer_->start();
    }
    ShowTexts();
}

void PreviewWindow::Step() {
    const auto [first, last] = playRange_;
    SetFrame(frame_ < first || frame_ >= last ? first : frame_ + 1);
}

PreviewDrawing PreviewWindow::Drawing() const {
    if (stale_) return DrawPreview({}, {}, camera_, canvas_->width(), canvas_->height(), DecimalText(frame_));
    return DrawPreview(model_, pose_, camera_, canvas_->width(), canvas_->height(), DecimalText(frame_));
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
