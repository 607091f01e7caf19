// GoogleTest with a QApplication: the tests drive real widgets on the offscreen
// platform unless QT_QPA_PLATFORM names another one. Offscreen, there are three
// screens (offscreen-screens.json): a 1920x1080 one, and what a 1920x1080 and a
// 1280x1024 screen leave at a scale factor of 1.5.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen")
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" VANDREL_OFFSCREEN_SCREENS);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
