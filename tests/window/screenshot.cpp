// Renders the window, filled in with the worked example, to
// <folder>/tarvelin.png and <folder>/tarvelin@2x.png.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <cstdio>

#include "window/form1.h"

namespace {

bool save(Form1& window, qreal ratio, const QString& path) {
    QPixmap pixmap(window.size() * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(window.palette().color(QPalette::Window));
    window.render(&pixmap);
    if (!pixmap.save(path)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        return false;
    }
    std::printf("wrote %s (%dx%d)\n", qPrintable(path), pixmap.width(), pixmap.height());
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "could not create %s\n", qPrintable(folder));
        return 1;
    }
    Form1 window(".");
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return 1;
    }
    using tarvelin::Field;
    QTest::keyClicks(window.field(Field::Text1), "4");
    QTest::keyClicks(window.field(Field::Text4), "12");
    QTest::keyClicks(window.field(Field::Text5), "4");
    QTest::keyClicks(window.field(Field::Text7), "5");
    QTest::mouseClick(window.findChild<QPushButton*>("Command1"), Qt::LeftButton);
    QTest::mouseClick(window.box(tarvelin::Box::Check1), Qt::LeftButton);
    for (const char* button : {"Command2", "Command3", "Command4", "Command5"}) {
        QTest::mouseClick(window.findChild<QPushButton*>(button), Qt::LeftButton);
    }
    window.field(Field::Text1)->setFocus();
    std::printf("font: %s, %d px\n", qPrintable(window.font().family()), window.font().pixelSize());
    const bool ok =
        save(window, 1, folder + "/tarvelin.png") && save(window, 2, folder + "/tarvelin@2x.png");
    return ok ? 0 : 1;
}
