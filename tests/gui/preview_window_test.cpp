// The preview: the pictures of `vandrel-cli render` checked by where their
// joints are, and the window that follows the rows the user clicks, the
// commands and the play button.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include <QPushButton>

#include <QLabel>

#include <QComboBox>

#include <QScreen>

#include <QCheckBox>
#include <QSpinBox>
#include <QSlider>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QApplication>
#include <QAction>
#include <QImage>
#include <QListWidget>
#include <QTest>
#include <cmath>
#include <set>

#include "GuiTestSupport.h"
#include "ModelGenerator.h"
#include "TestSupport.h"
#include "app/Commands.h"
#include "app/qt/PreviewWindow.h"
#include "preview/PreviewView.h"
#include "app/qt/QtMainWindow.h"

namespace vandrel {
namespace {

using test::TempDir;

// The centres of the joint dots: groups of touching red pixels.
std::vector<QPointF> JointDots(const QImage& image) {
    auto red = [&](QPoint p) {
        const QColor c = image.rect().contains(p) ? image.pixelColor(p) : QColor();
        return c.red() > 170 && c.green() < 90 && c.blue() < 90;
    };
    std::set<std::pair<int, int>> seen;
    std::vector<QPointF> dots;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (seen.count({x, y}) || !red({x, y})) continue;
            QPointF sum;
            int count = 0;
            std::vector<QPoint> open{{x, y}};
            seen.insert({x, y});
            while (!open.empty()) {
                const QPoint p = open.back();
                open.pop_back();
                sum += p, ++count;
                for (const QPoint q : {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1), p - QPoint(0, 1)})
                    if (!seen.count({q.x(), q.y()}) && red(q)) seen.insert({q.x(), q.y()}), open.push_back(q);
            }
            dots.push_back(sum / count + QPointF(0.5, 0.5));
        }
    return dots;
}

// A root with three children spread in all three axes, turned a quarter about y
// at frame 10; two unskinned vertices make the rest pose a box from -5 to 5.
std::string SpreadModel() {
    const std::string quarter = std::to_string(std::acos(0.0));
    test::GenModel model = test::ModelWith({
        {"root", "", "0 0 0 0 0 0 0", {}, {"0 0 0 0", "10 0 " + quarter + " 0"}},
        {"a", "root", "0 2 1 0 0 0 0", {}, {"0 0 0 0"}},
        {"b", "root", "0 -1 3 1 0 0 0", {}, {"0 0 0 0"}},
        {"c", "root", "0 1 -1 4 0 0 0", {}, {"0 0 0 0"}},
    });
    model.Header = {"// MilkShape 3D ASCII", "Meshes: 1", "\"box\" 0 0", "2", "0 -5 -5 -5 0 0 -1", "0 5 5 5 0 0 -1",
                    "0", "0"};
    return test::FileText(test::FileLines(model));
}

TEST(PreviewRender, EachViewShowsTheJointsWhereTheirPoseProjectsThem) {
    TempDir dir;
    test::WriteFile(dir / "spread.txt", SpreadModel());
    const std::vector<glm::dvec3> rest{{0, 0, 0}, {2, 1, 0}, {-1, 3, 1}, {1, -1, 4}};
    // A quarter turn about y takes (x, y, z) to (z, y, -x).
    std::vector<glm::dvec3> turning;
    for (const glm::dvec3& j : rest) turning.emplace_back(j.z, j.y, -j.x);
    const std::vector<glm::dvec3>& turned = turning;

    struct View {
        const char* name;
        const char* size;
        QSize expected;
        glm::dvec2 (*project)(const glm::dvec3&);  // to (right, up)
    };
    const View views[] = {
        {"front", "", {640, 480}, [](const glm::dvec3& p) { return glm::dvec2(p.x, p.y); }},
        {"side", "400x300", {400, 300}, [](const glm::dvec3& p) { return glm::dvec2(p.z, p.y); }},
        {"top", "300x400", {300, 400}, [](const glm::dvec3& p) { return glm::dvec2(p.x, -p.z); }},
    };
    for (const View& view : views) {
        SCOPED_TRACE(view.name);
        std::string script = "open 1 spread.txt\n";
        for (const char* frame : {"0", "10"})
            script += std::string("render 1 ") + frame + " " + view.name + frame + ".png " + view.name +
                      (*view.size ? " " : "") + view.size + " skeleton\n";
        const test::CliResult r = test::RunCli(dir.path().string(), script);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const QImage restImage(QString::fromStdString(dir / (std::string(view.name) + "0.png")));
        const QImage turnedImage(QString::fromStdString(dir / (std::string(view.name) + "10.png")));
        ASSERT_EQ(restImage.size(), view.expected);
        ASSERT_EQ(turnedImage.size(), view.expected);

        // Scale and offset from the rest picture's dots: the same scale on both
        // axes, up on the screen where up is in the view.
        const std::vector<QPointF> restDots = JointDots(restImage);
        ASSERT_EQ(restDots.size(), rest.size());
        glm::dvec2 low(1e9), high(-1e9), dotLow(1e9), dotHigh(-1e9);
        for (const glm::dvec3& j : rest) {
            low = glm::min(low, view.project(j));
            high = glm::max(high, view.project(j));
        }
        for (const QPointF& d : restDots) {
            dotLow = glm::min(dotLow, glm::dvec2(d.x(), d.y()));
            dotHigh = glm::max(dotHigh, glm::dvec2(d.x(), d.y()));
        }
        const double scale = (dotHigh.x - dotLow.x) / (high.x - low.x);
        EXPECT_GT(scale, 10);
        EXPECT_NEAR((dotHigh.y - dotLow.y) / (high.y - low.y), scale, scale * 0.01);
        auto pixel = [&](const glm::dvec3& j) {
            const glm::dvec2 v = view.project(j);
            return QPointF(dotLow.x + (v.x - low.x) * scale, dotLow.y + (high.y - v.y) * scale);
        };

        for (const auto& [joints, image] : {std::pair{&rest, &restImage}, std::pair{&turned, &turnedImage}}) {
            const std::vector<QPointF> dots = JointDots(*image);
            EXPECT_EQ(dots.size(), joints->size());
            for (const glm::dvec3& j : *joints) {
                const QPointF expected = pixel(j);
                const bool found = std::any_of(dots.begin(), dots.end(), [&](const QPointF& d) {
                    return std::hypot(d.x() - expected.x(), d.y() - expected.y()) < 1.5;
                });
                EXPECT_TRUE(found) << "no joint dot at " << expected.x() << ", " << expected.y() << " for the joint at "
                                   << j.x << " " << j.y << " " << j.z << (joints == &rest ? " at rest" : " turned");
            }
        }
    }
}

// A square facing the front with a 2 x 2 checker on it, a triangle facing away,
// and a square whose texture is missing; one bone that walks 20 units along x
// from frame 1 to frame 10, carrying everything.
std::string PaintedModel() {
    test::GenModel model = test::ModelWith({{"root", "", "0 0 0 0 0 0 0", {"1 0 0 0", "10 20 0 0"}, {}}});
    model.Header = {"// MilkShape 3D ASCII", "Meshes: 3",
                    // corners counter-clockwise seen from the front; v from the top down
                    "\"checker\" 0 0", "4", "0 -8 8 0 0 0 0", "0 8 8 0 1 0 0", "0 -8 -8 0 0 1 0", "0 8 -8 0 1 1 0",
                    "1", "0 0 1", "2", "0 0 2 1 0 0 0 1", "0 1 2 3 0 0 0 1",
                    "\"away\" 0 1", "3", "0 9 2 0 0 0 0", "0 9 3 0 0 0 0", "0 11 2 0 0 0 0", "1", "0 0 -1", "1",
                    "0 0 1 2 0 0 0 1",
                    "\"bare\" 0 2", "4", "0 -8 -9 0 0 0 0", "0 8 -9 0 1 0 0", "0 -8 -13 0 0 1 0", "0 8 -13 0 1 1 0",
                    "1", "0 0 1", "2", "0 0 2 1 0 0 0 1", "0 1 2 3 0 0 0 1",
                    "Materials: 3",
                    "\"painted\"", "0 0 0 1", "0.8 0.2 0.2 1", "0 0 0 1", "0 0 0 1", "0", "1", "\".\\Checker.PNG\"", "\"\"",
                    "\"blue\"", "0 0 0 1", "0.1 0.2 0.9 1", "0 0 0 1", "0 0 0 1", "0", "1", "\"\"", "\"\"",
                    "\"lost\"", "0 0 0 1", "0.2 0.7 0.3 1", "0 0 0 1", "0 0 0 1", "0", "1", "\"missing.png\"", "\"\""};
    return test::FileText(test::FileLines(model));
}

bool Near(const QColor& c, int r, int g, int b) {
    return std::abs(c.red() - r) <= 3 && std::abs(c.green() - g) <= 3 && std::abs(c.blue() - b) <= 3;
}

TEST(PreviewRender, SolidTexturedFrontFacesOnlyOnTheGroundAndFramedOnTheWholeAnimation) {
    TempDir dir;
    test::WriteFile(dir / "painted.txt", PaintedModel());
    QImage checker(2, 2, QImage::Format_RGB32);
    checker.setPixel(0, 0, qRgb(255, 0, 0));
    checker.setPixel(1, 0, qRgb(0, 255, 0));
    checker.setPixel(0, 1, qRgb(0, 0, 255));
    checker.setPixel(1, 1, qRgb(255, 255, 255));
    ASSERT_TRUE(checker.save(QString::fromStdString(dir / "checker.png")));  // named Checker.PNG in the model
    const test::CliResult r = test::RunCli(dir.path().string(),
                                           "open 1 painted.txt\nrender 1 1 solid.png front 600x600 solid grid\n"
                                           "render 1 1 textured.png front 600x600\nrender 1 10 later.png front 600x600\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "") << "a missing texture says nothing";
    const QImage solid(QString::fromStdString(dir / "solid.png")), textured(QString::fromStdString(dir / "textured.png"));
    ASSERT_EQ(solid.size(), QSize(600, 600));
    // Where the model's points land: the view frames the bones' whole walk, x from -8 to 31.
    const std::vector<glm::dvec3> at{{-4, 4, 0}, {4, 4, 0}, {-4, -4, 0}, {4, -4, 0}, {10, 2.5, 0}, {0, -11, 0}};
    PreviewModel model;
    {
        Workspace ws;
        test::OpenBytes(ws, 1, PaintedModel());
        model = ReadPreviewModel(ws.File(1));
    }
    const PreviewMatrices view = FrameView(AnimationBounds(model), PreviewCamera{}, 600, 600);
    auto pixel = [&](const QImage& image, const glm::dvec3& p) {
        const glm::dvec3 q = ProjectToPicture(view, p, 600, 600);
        return image.pixelColor(int(q.x), int(q.y));
    };
    // Facing the camera, a face shows its material's colour, or its texture's.
    for (const glm::dvec3& p : {at[0], at[1], at[2], at[3]}) EXPECT_TRUE(Near(pixel(solid, p), 204, 51, 51)) << p.x << " " << p.y;
    EXPECT_TRUE(Near(pixel(textured, at[0]), 255, 0, 0));
    EXPECT_TRUE(Near(pixel(textured, at[1]), 0, 255, 0));
    EXPECT_TRUE(Near(pixel(textured, at[2]), 0, 0, 255));
    EXPECT_TRUE(Near(pixel(textured, at[3]), 255, 255, 255));
    // A face turned away is not drawn; a texture that is missing leaves the material's colour.
    const QColor background = pixel(solid, {20, 8, 0});
    EXPECT_EQ(pixel(solid, at[4]), background);
    EXPECT_TRUE(Near(pixel(textured, at[5]), 51, 178, 76));
    // The grid lies at the lowest point: no grid pixel above the model's lowest row.
    int lowestModelRow = 0, highestGridRow = 600;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 600; ++x) {
            const QColor c = solid.pixelColor(x, y);
            if (c == background) continue;
            if (Near(c, 158, 161, 168)) highestGridRow = std::min(highestGridRow, y);
            else lowestModelRow = std::max(lowestModelRow, y);
        }
    EXPECT_LT(highestGridRow, 600) << "a grid is drawn";
    EXPECT_GE(highestGridRow, lowestModelRow);
    // At frame 10 the model has walked 20 units to the right, still inside the picture.
    const QImage later(QString::fromStdString(dir / "later.png"));
    EXPECT_TRUE(Near(pixel(later, {at[0].x + 20, at[0].y, 0}), 255, 0, 0));
}

// The main window in English with `model` opened as File 1 (walk.txt), then the preview.
struct WithPreview {
    TempDir dir;
    Program p;
    test::TestShell shell;
    std::unique_ptr<QtMainWindow> window;
    PreviewWindow* preview = nullptr;

    explicit WithPreview(const test::GenModel& model) {
        p.SettingsFileName = dir / "Vandrel.ini";
        test::WriteFile(p.SettingsFileName, "LANGUAGE=0\r\n");
        test::WriteFile(dir / "walk.txt", test::FileText(test::FileLines(model)));
        StartUp(p, shell, false);
        window = std::make_unique<QtMainWindow>(p, shell);
        shell.SetWindow(window.get());
        window->show();
        shell.openAnswers.push_back(dir / "walk.txt");
        QTest::mouseClick(window->Control(ids::OpenButton1), Qt::LeftButton);
        window->MenuAction(menu::Preview)->trigger();
        test::ProcessEvents();
        preview = window->findChild<PreviewWindow*>();
    }
    ~WithPreview() { shell.SetWindow(nullptr); }
};

TEST(PreviewWindowTest, ViewPreviewOpensOneWindowThatFollowsClickedRowsCommandsAndPlay) {
    // Three bones that turn a little more at every keyframe, inside the picture.
    test::GenModel model = test::ModelWith(test::Skeleton(3));
    for (test::GenBone& bone : model.Bones) {
        for (int frame : {10, 20, 35}) {
            bone.PositionKeys.push_back(test::TimeText(frame) + " 0 0 0");
            bone.RotationKeys.push_back(test::TimeText(frame) + " 0 0 " + std::to_string(frame / 1000.0));
        }
    }
    WithPreview w(model);
    QtMainWindow& window = *w.window;
    auto list = [&](int id) { return qobject_cast<QListWidget*>(window.Control(id)); };
    auto clickRow = [&](int id, int row, Qt::KeyboardModifiers keys = {}) {
        const QPoint at = list(id)->visualItemRect(list(id)->item(row)).center();
        QTest::mouseClick(list(id)->viewport(), Qt::LeftButton, keys, at);
    };
    auto joints = [](PreviewWindow& preview) { return preview.Shot().Pose.Joints; };
    window.MenuAction(menu::Preview)->trigger();
    test::ProcessEvents();
    const QList<PreviewWindow*> previews = window.findChildren<PreviewWindow*>();
    ASSERT_EQ(previews.size(), 1) << "a second View > Preview shows the same window";
    PreviewWindow& preview = *previews.front();
    EXPECT_TRUE(preview.isVisible());

    clickRow(ids::KeyframeList1, 1);
    EXPECT_EQ(preview.Source(), PreviewSource::File1);
    EXPECT_EQ(preview.Frame(), 20);
    EXPECT_EQ(preview.Shot().Label, "20");
    const std::vector<glm::dvec3> before = joints(preview);
    EXPECT_EQ(before.size(), 3u);

    // Frames 10 and 20 go to the Clipboard: at frame 20 the file now holds its key of 35.
    clickRow(ids::KeyframeList1, 0);
    clickRow(ids::KeyframeList1, 1, Qt::ShiftModifier);
    QTest::mouseClick(window.Control(ids::CutButton1), Qt::LeftButton);
    EXPECT_EQ(preview.Frame(), 20);
    EXPECT_NE(joints(preview), before) << "the preview follows the cut";
    clickRow(ids::ClipboardList, 1);
    EXPECT_EQ(preview.Source(), PreviewSource::Clipboard);
    EXPECT_EQ(preview.Frame(), 20);
    EXPECT_EQ(joints(preview), before) << "the Clipboard shows frame 20 as the file did";

    // With one row selected, play runs over every row of the list, and loops.
    preview.TogglePlay();
    EXPECT_TRUE(preview.Playing());
    int64_t last = preview.Frame(), loops = 0;
    EXPECT_TRUE(QTest::qWaitFor([&] {
        EXPECT_TRUE(preview.Frame() >= 10 && preview.Frame() <= 20) << preview.Frame();
        loops += preview.Frame() < last;
        last = preview.Frame();
        return loops == 2;
    }, 10000));
    preview.TogglePlay();
    EXPECT_FALSE(preview.Playing());
}

// A drag on the picture: press at `from`, move to `to`, release.
void Drag(QWidget* canvas, Qt::MouseButton button, QPoint from, QPoint to, Qt::KeyboardModifiers keys = {}) {
    QMouseEvent press(QEvent::MouseButtonPress, from, canvas->mapToGlobal(from), button, button, keys);
    QApplication::sendEvent(canvas, &press);
    QMouseEvent move(QEvent::MouseMove, to, canvas->mapToGlobal(to), Qt::NoButton, button, keys);
    QApplication::sendEvent(canvas, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, canvas->mapToGlobal(to), button, Qt::NoButton, keys);
    QApplication::sendEvent(canvas, &release);
}

TEST(PreviewWindowTest, KeysAndTheMouseDriveTheTimelineAndTheView) {
    WithPreview w(test::AnimatedModel(test::Skeleton(3), {10, 20, 35}));
    PreviewWindow* preview = w.preview;
    ASSERT_NE(preview, nullptr);
    preview->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(preview));
    QWidget* canvas = preview->findChild<QWidget*>("PreviewCanvas");
    ASSERT_NE(canvas, nullptr);
    canvas->setFocus();
    EXPECT_EQ(preview->Frame(), 10) << "it opens at the first keyframe";

    // Frames and keyframes from the keyboard.
    const std::pair<QKeyCombination, int64_t> steps[] = {
        {Qt::Key_Right, 11},  {Qt::Key_Left, 10},         {Qt::Key_PageDown, 20},      {Qt::CTRL | Qt::Key_Right, 35},
        {Qt::Key_Right, 36},  {Qt::CTRL | Qt::Key_Left, 35}, {Qt::Key_PageUp, 20},     {Qt::Key_PageUp, 10}};
    for (const auto& [key, frame] : steps) {
        QTest::keyClick(canvas, key.key(), key.keyboardModifiers());
        EXPECT_EQ(preview->Frame(), frame) << QKeySequence(key).toString().toStdString();
    }
    // The frame field takes a frame typed into it; the slider follows.
    auto* field = preview->findChild<QSpinBox*>();
    ASSERT_NE(field, nullptr);
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, "27");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(preview->Frame(), 27);
    EXPECT_EQ(preview->findChild<QSlider*>()->value(), 27);
    canvas->setFocus();
    // Space plays and pauses; without the loop switch the play stops at the end.
    QTest::keyClick(canvas, Qt::Key_Space);
    EXPECT_TRUE(preview->Playing());
    QTest::keyClick(canvas, Qt::Key_Space);
    EXPECT_FALSE(preview->Playing());
    for (QCheckBox* box : preview->findChildren<QCheckBox*>())
        if (box->text() == "Loop") box->setChecked(false);
    EXPECT_FALSE(preview->Looping());
    QTest::keyClick(canvas, Qt::Key_PageDown);  // 35, the last row: a play starts from the first
    QTest::keyClick(canvas, Qt::Key_Space);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !preview->Playing(); }, 10000));
    EXPECT_EQ(preview->Frame(), 35);

    // The mouse: a left drag orbits, a middle or Shift+left drag pans, the wheel zooms; F fits.
    const QPoint middle = canvas->rect().center();
    Drag(canvas, Qt::LeftButton, middle, middle + QPoint(40, 10));
    EXPECT_EQ(preview->Camera().View, PreviewView::Free);
    EXPECT_NEAR(preview->Camera().Yaw, 0.4, 1e-9);
    EXPECT_NEAR(preview->Camera().Pitch, 0.1, 1e-9);
    Drag(canvas, Qt::MiddleButton, middle, middle + QPoint(canvas->height() / 2, 0));
    EXPECT_NEAR(preview->Camera().Pan.x, 1, 1e-9);
    Drag(canvas, Qt::LeftButton, middle, middle + QPoint(0, canvas->height() / 2), Qt::ShiftModifier);
    EXPECT_NEAR(preview->Camera().Pan.y, -1, 1e-9);
    EXPECT_NEAR(preview->Camera().Yaw, 0.4, 1e-9) << "a pan turns nothing";
    QWheelEvent wheel(QPointF(middle), QPointF(canvas->mapToGlobal(middle)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas, &wheel);
    EXPECT_NEAR(preview->Camera().Zoom, 1.15, 1e-9);
    // Each list keeps its own view.
    auto* sources = preview->findChild<QComboBox*>();
    sources->setCurrentIndex(int(PreviewSource::File2));
    emit sources->activated(int(PreviewSource::File2));
    EXPECT_EQ(preview->Camera().Zoom, 1);
    preview->ShowRow(PreviewSource::File1, 0);
    EXPECT_NEAR(preview->Camera().Zoom, 1.15, 1e-9);
    QTest::keyClick(canvas, Qt::Key_F);
    EXPECT_EQ(preview->Camera().Zoom, 1);
    EXPECT_EQ(preview->Camera().Pan, glm::dvec2(0.0));
    EXPECT_NEAR(preview->Camera().Yaw, 0.4, 1e-9) << "the fit keeps the angles";
}

TEST(PreviewWindowTest, OpensBesideTheMainWindowWithCaptionsThatFitInBothLanguages) {
    TempDir dir;
    Program p;
    p.SettingsFileName = dir / "Vandrel.ini";
    test::WriteFile(p.SettingsFileName, "LANGUAGE=1\r\n");
    test::TestShell shell;
    StartUp(p, shell, false);
    // The test's screen of 1920 x 1080, where the window opens.
    QRect area;
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->name() == "1920x1080") area = screen->availableGeometry();
    ASSERT_FALSE(area.isEmpty());
    for (bool atLeftEdge : {false, true}) {
        SCOPED_TRACE(atLeftEdge ? "the window at the left edge" : "the window in the middle");
        QtMainWindow window(p, shell);
        shell.SetWindow(&window);
        window.show();
        if (atLeftEdge) window.move(area.topLeft());
        test::ProcessEvents();
        window.MenuAction(menu::Preview)->trigger();
        test::ProcessEvents();
        PreviewWindow* preview = window.findChild<PreviewWindow*>();
        ASSERT_NE(preview, nullptr);
        const QRect placed = preview->frameGeometry(), main = window.frameGeometry();
        QWidget* list = window.Control(ids::KeyframeList1);
        EXPECT_TRUE(area.contains(placed));
        EXPECT_FALSE(placed.intersects(QRect(list->mapToGlobal(QPoint(0, 0)), list->size()))) << "File 1's list in sight";
        if (area.right() - main.right() >= placed.width()) {
            EXPECT_FALSE(placed.intersects(main)) << "beside it";
        }
        // German first, then English: every caption of the preview fits.
        for (QWidget* c : preview->findChildren<QWidget*>()) {
            if (auto* box = qobject_cast<QComboBox*>(c)) {
                for (int i = 0; i < box->count(); ++i)
                    EXPECT_LE(box->fontMetrics().horizontalAdvance(box->itemText(i)) + 20, box->width())
                        << box->itemText(i).toStdString();
            } else if (qobject_cast<QPushButton*>(c) || qobject_cast<QLabel*>(c)) {
                EXPECT_LE(test::CaptionNeeds(c), c->width()) << c->objectName().toStdString();
            }
        }
        shell.SetWindow(nullptr);
        p.UiLanguage = Language::English;
    }
}

}  // namespace
}  // namespace vandrel
