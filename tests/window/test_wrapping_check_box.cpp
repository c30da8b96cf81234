// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "window/form1.h"
#include "window/wrapping_check_box.h"

namespace {

// The smallest rectangle holding every pixel in which two renders differ.
QRect differing(const QImage& a, const QImage& b) {
    QRect found;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y)) {
                found |= QRect(x, y, 1, 1);
            }
        }
    }
    return found;
}

QImage render(QWidget* widget) {
    return widget->grab().toImage();
}

}  // namespace

class TestWrappingCheckBox : public QObject {
    Q_OBJECT

private slots:
    // Each of the window's boxes, as the window lays it out: the tick is
    // inside the indicator, which sits centred in the box's height; the
    // caption's ink lies right of it, whole, wrapped where it must be; the
    // focus frame is there only while the box has focus.
    void paintsIndicatorCaptionAndFocus_data() {
        QTest::addColumn<int>("box");
        for (const tarvelin::Box b : tarvelin::kAllBoxes) {
            QTest::newRow(qPrintable(QString("Check%1").arg(tarvelin::indexOf(b) + 1))) << int(b);
        }
    }

    void paintsIndicatorCaptionAndFocus() {
        QFETCH(int, box);
        Form1 form(".");
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCheckBox* check = form.box(tarvelin::Box(box));
        WrappingCheckBox bare(QString(), &form);
        bare.setGeometry(check->geometry());
        bare.show();
        const QRect whole = check->rect();

        const QImage plain = render(check);
        check->setChecked(true);
        const QRect tick = differing(plain, render(check));
        check->setChecked(false);
        QVERIFY(!tick.isEmpty());
        QVERIFY(whole.contains(tick));
        QVERIFY2(std::abs(tick.top() - (whole.bottom() - tick.bottom())) <= 1,
                 "the indicator is not centred in the box's height");

        const QRect ink = differing(render(&bare), plain);
        QVERIFY(!ink.isEmpty());
        QVERIFY2(ink.left() > tick.right(), "the caption runs over the indicator");
        QVERIFY(whole.contains(ink));
        if (check->text().contains("Dark Elves")) {
            QVERIFY2(ink.height() > check->fontMetrics().height(), "the long caption did not wrap");
        }

        // Reached by Tab, as the style draws focus frames for the keyboard: a
        // frame around the caption, which the indicator's own focus look,
        // left of it, does not stand in for.
        check->previousInFocusChain()->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(check->hasFocus());
        const QRect caption = static_cast<WrappingCheckBox*>(check)->captionArea(check->size());
        const QRect frame = differing(plain.copy(caption), render(check).copy(caption))
                                .translated(caption.topLeft());
        QVERIFY2(frame.contains(ink), "no focus frame around the caption while focused");
        QTest::keyClick(check, Qt::Key_Tab);
        QVERIFY(!check->hasFocus());
        QVERIFY2(render(check) == plain, "a focus frame without focus");
    }

    // The tick's square grows with the caption's font, in proportion to it.
    void tickGrowsWithTheFont_data() {
        QTest::addColumn<int>("pixels");
        for (const int pixels : {9, 12, 16, 24}) {
            QTest::newRow(qPrintable(QString("%1 px").arg(pixels))) << pixels;
        }
    }

    void tickGrowsWithTheFont() {
        QFETCH(int, pixels);
        // The square is what a box without a caption draws on a bare background.
        const auto squareAt = [](int size) {
            WrappingCheckBox box(QString{});
            QFont font("DejaVu Sans");
            font.setPixelSize(size);
            box.setFont(font);
            box.resize(box.sizeHint() + QSize(8, 8));
            QWidget bare;
            bare.resize(box.size());
            return differing(render(&bare), render(&box));
        };
        const QRect reference = squareAt(12);
        const QRect square = squareAt(pixels);
        QVERIFY(!reference.isEmpty());
        const double expected = reference.height() * pixels / 12.0;
        QVERIFY2(std::abs(square.height() - expected) <= 1,
                 qPrintable(QString("%1 px high at %2 px").arg(square.height()).arg(pixels)));
        QCOMPARE(square.width(), square.height());
    }

    void captionFitsOnlyWhereItHasRoom() {
        const QFontMetrics metrics(QApplication::font());
        WrappingCheckBox moved("Moved");
        WrappingCheckBox doubleShots("Double Shots  (Dark Elves only)");
        QVERIFY(moved.captionFits(metrics, {105, 33}));
        QVERIFY(!moved.captionFits(metrics, {24, 33}));
        QVERIFY(doubleShots.captionFits(metrics, {400, 33}));
        QVERIFY(!doubleShots.captionFits(metrics, {105, 33}));
        QVERIFY(!doubleShots.captionFits(metrics, {400, metrics.height() - 1}));
    }
};

QTEST_MAIN(TestWrappingCheckBox)
#include "test_wrapping_check_box.moc"
