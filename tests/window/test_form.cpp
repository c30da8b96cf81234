// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleEditableTextInterface>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <limits>
#include <optional>

#include <qpa/qwindowsysteminterface.h>

#include "window/announcer.h"
#include "window/form1.h"
#include "window/form_layout.h"

#include "tests/window/chart_checks.h"
#include "tests/window/form_driver.h"

using tarvelin::Box;
using tarvelin::Field;
using tarvelin::indexOf;
using namespace chart_checks;

namespace {

struct ControlRow {
    const char* name;
    const char* kind;
    const char* caption;
    QRect twips;
    int alignment;
};

constexpr int kCentred = Qt::AlignHCenter;
constexpr int kLeft = Qt::AlignLeft;

// The layout as designed, place by place in twips, with each caption.
const ControlRow kControls[] = {
    {"Label5", "QLabel", "1.", {240, 120, 135, 255}, kLeft},
    {"Label1", "QLabel", "Aimcraft", {480, 120, 1215, 255}, kCentred},
    {"Text1", "QLineEdit", "", {480, 360, 1215, 285}, 0},
    {"Label2", "QLabel", "Shots", {480, 720, 1215, 255}, kCentred},
    {"Text4", "QLineEdit", "", {480, 960, 1215, 285}, 0},
    {"Label3", "QLabel", "To Wound", {480, 1320, 1215, 255}, kCentred},
    {"Text5", "QLineEdit", "", {480, 1560, 1215, 285}, 0},
    {"Label4", "QLabel", "Armour Save", {480, 1920, 1215, 255}, kCentred},
    {"Text7", "QLineEdit", "", {480, 2160, 1215, 285}, 0},
    {"Label6", "QLabel", "2.", {2160, 120, 135, 255}, kLeft},
    {"Command1", "QPushButton", "To Hit", {2400, 120, 1215, 495}, 0},
    {"Text2", "QLineEdit", "", {2400, 720, 1215, 285}, 0},
    {"Label7", "QLabel", "3.", {240, 2640, 135, 255}, kLeft},
    {"Check1", "QCheckBox", "Moved", {360, 2760, 1575, 495}, 0},
    {"Check2", "QCheckBox", "Over Half Range", {360, 3240, 1575, 495}, 0},
    {"Check3", "QCheckBox", "Soft Cover", {360, 3720, 1575, 495}, 0},
    {"Check4", "QCheckBox", "Hard Cover", {360, 4200, 1575, 495}, 0},
    {"Check5", "QCheckBox", "Large Target", {360, 4680, 1575, 495}, 0},
    {"Check6", "QCheckBox", "Double Shots  (Dark Elves only)", {360, 5160, 1575, 495}, 0},
    {"Label8", "QLabel", "4.", {2160, 1200, 135, 255}, kLeft},
    {"Command2", "QPushButton", "Hits", {2400, 1200, 1215, 495}, 0},
    {"Text3", "QLineEdit", "", {2400, 1800, 1215, 285}, 0},
    {"Command3", "QPushButton", "Wounds", {2400, 2160, 1215, 495}, 0},
    {"Text6", "QLineEdit", "", {2400, 2760, 1215, 285}, 0},
    {"Command4", "QPushButton", "Saves", {2400, 3120, 1215, 495}, 0},
    {"Text8", "QLineEdit", "", {2400, 3720, 1215, 285}, 0},
    {"Command5", "QPushButton", "Casualties", {2400, 4080, 1215, 495}, 0},
    {"Text9", "QLineEdit", "", {2400, 4680, 1215, 285}, 0},
    {"Command6", "QPushButton", "Clear", {2400, 5160, 1215, 495}, 0},
};

// Twips times the factor, each edge within a pixel of where it belongs.
bool placedAt(const QRect& pixels, const QRect& twips, double scale) {
    const auto near = [scale](int pixel, int twip) { return std::abs(pixel - twip * scale) <= 1; };
    return near(pixels.left(), twips.left()) && near(pixels.top(), twips.top()) &&
           near(pixels.left() + pixels.width(), twips.left() + twips.width()) &&
           near(pixels.top() + pixels.height(), twips.top() + twips.height());
}

// Every caption whole in its control, measured here rather than asked of the layout.
QString captionThatDoesNotFit(const Form1& form) {
    for (const ControlRow& row : kControls) {
        const auto* widget = form.findChild<QWidget*>(row.name);
        const QFontMetrics metrics = widget->fontMetrics();
        const QString caption = QString::fromUtf8(row.caption);
        const int width = metrics.horizontalAdvance(caption);
        const bool fits = qobject_cast<const QCheckBox*>(widget) != nullptr
                              ? widget->sizeHint().height() <= widget->height()
                          : qobject_cast<const QLabel*>(widget) != nullptr
                              ? width <= widget->width() && metrics.height() <= widget->height()
                              : width < widget->width() && metrics.height() < widget->height();
        if (!fits) {
            return caption;
        }
    }
    return {};
}

// The panel round a control: on each side the nearest frame line, in
// pixels, that spans the control's middle on that side.
std::optional<QRect> panelRound(const QRect& control, double scale) {
    const QPoint mid = control.center();
    int left = -1, right = 1 << 20, top = -1, bottom = 1 << 20;
    for (const FrameLine& line : kFrameLines) {
        const int x1 = qRound(line.x1 * scale), x2 = qRound(line.x2 * scale);
        const int y1 = qRound(line.y1 * scale), y2 = qRound(line.y2 * scale);
        if (x1 == x2 && mid.y() >= std::min(y1, y2) && mid.y() <= std::max(y1, y2)) {
            (x1 <= mid.x() ? left : right) =
                x1 <= mid.x() ? std::max(left, x1) : std::min(right, x1);
        } else if (y1 == y2 && mid.x() >= std::min(x1, x2) && mid.x() <= std::max(x1, x2)) {
            (y1 <= mid.y() ? top : bottom) =
                y1 <= mid.y() ? std::max(top, y1) : std::min(bottom, y1);
        }
    }
    if (left < 0 || top < 0 || right == 1 << 20 || bottom == 1 << 20) {
        return std::nullopt;
    }
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

// Whether a widget paints nothing in this part of its parent: all of it in
// the window's own colour.
bool blankIn(QWidget& widget, const QRect& part) {
    const QImage image = widget.grab(part.translated(-widget.pos())).toImage();
    const QColor window = widget.palette().color(QPalette::Window);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != window) {
                return false;
            }
        }
    }
    return true;
}

// The controls of the form, labels included, by their names.
QList<QWidget*> controlsOf(const Form1& form) {
    QList<QWidget*> found;
    for (const ControlRow& row : kControls) {
        found << form.findChild<QWidget*>(row.name);
    }
    return found;
}

}  // namespace

class TestForm : public QObject, public driver::FormFixture {
    Q_OBJECT

private slots:
    // The first window of all, with a screen reader listening from the start.
    void initTestCase() {
        QAccessible::setActive(true);
        const auto guard = qScopeGuard([] { QAccessible::setActive(false); });
        Form1 first(".");
        QCOMPARE(QAccessible::queryAccessibleInterface(&first)->role(), QAccessible::Window);
    }

    void init() { QVERIFY(open()); }
    void cleanup() { form.reset(); }

    void opensEmptyWithFocusInAimcraft() {
        QCOMPARE(form->windowTitle(), QString("Tarvelin"));
        const QList<QSize> iconSizes = form->windowIcon().availableSizes();
        QVERIFY(iconSizes.contains(QSize(16, 16)));
        QVERIFY(iconSizes.contains(QSize(64, 64)));
        const double scale = form->scale();
        QVERIFY(scale >= 1.0 / 15);
        QCOMPARE(form->size(), QSize(qRound(3870 * scale), qRound(5775 * scale)));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QVERIFY(!(form->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(form->windowFlags() & Qt::WindowCloseButtonHint);
        // The fields' text is the desktop's own size, as in any other line edit.
        QLineEdit plain;
        QCOMPARE(QFontInfo(form->field(Field::Text3)->font()).pixelSize(),
                 QFontInfo(plain.font()).pixelSize());
        QCOMPARE(QApplication::focusWidget(), form->field(Field::Text1));
        for (const Field field : tarvelin::kAllFields) {
            QVERIFY(form->field(field)->text().isEmpty());
        }
        for (const Box box : tarvelin::kAllBoxes) {
            QVERIFY(!form->box(box)->isChecked());
        }
    }

    void controls_data() {
        QTest::addColumn<int>("row");
        for (std::size_t i = 0; i < std::size(kControls); ++i) {
            QTest::newRow(kControls[i].name) << int(i);
        }
    }

    void controls() {
        QFETCH(int, row);
        const ControlRow& expected = kControls[row];
        const QWidget* widget = form->findChild<QWidget*>(expected.name);
        QVERIFY(widget != nullptr);
        QVERIFY(widget->inherits(expected.kind));
        QVERIFY2(placedAt(widget->geometry(), expected.twips, form->scale()),
                 qPrintable(QString("%1 at %2,%3 %4x%5")
                                .arg(expected.name)
                                .arg(widget->x())
                                .arg(widget->y())
                                .arg(widget->width())
                                .arg(widget->height())));
        QVERIFY(widget->isVisible());
        QVERIFY(widget->isEnabled());
        const QString caption = QString::fromUtf8(expected.caption);
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            QCOMPARE(label->text(), caption);
            QCOMPARE(int(label->alignment() & Qt::AlignHorizontal_Mask), expected.alignment);
            QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            QCOMPARE(button->text(), caption);
        } else if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
            QVERIFY(!edit->isReadOnly());
            QCOMPARE(int(edit->alignment() & Qt::AlignHorizontal_Mask), int(Qt::AlignLeft));
            QCOMPARE(edit->maxLength(), std::numeric_limits<int>::max());
        }
    }

    // The desktop's font at several sizes and in two families: the form keeps
    // that font and grows by one factor, the smallest at which it fits.
    void formGrowsWithTheFont_data() {
        QTest::addColumn<QFont>("font");
        QTest::addColumn<bool>("roomOnScreen");
        const auto font = [](const char* family, int pixels) {
            QFont f(family);
            f.setPixelSize(pixels);
            return f;
        };
        QTest::newRow("default") << QApplication::font() << true;
        QTest::newRow("9 px") << font("DejaVu Sans", 9) << true;
        QTest::newRow("12 px") << font("DejaVu Sans", 12) << true;
        QTest::newRow("16 px") << font("DejaVu Sans", 16) << true;
        QTest::newRow("24 px") << font("DejaVu Sans", 24) << true;
        QTest::newRow("16 px serif") << font("DejaVu Serif", 16) << true;
        QTest::newRow("20 px mono") << font("DejaVu Sans Mono", 20) << true;
        QTest::newRow("60 px, larger than the screen") << font("DejaVu Sans", 60) << false;
    }

    void formGrowsWithTheFont() {
        QFETCH(QFont, font);
        QFETCH(bool, roomOnScreen);
        type(Field::Text4, "12");
        const auto restore =
            qScopeGuard([desktop = QApplication::font()] { QApplication::setFont(desktop); });
        // The change reaches the window through the event loop, as a desktop's does.
        QApplication::setFont(font);
        QCoreApplication::processEvents();
        const double scale = form->scale();
        const QFont used = form->field(Field::Text4)->font();

        QVERIFY(scale >= 1.0 / 15);
        QCOMPARE(form->field(Field::Text4)->text(), QString("12"));
        QCOMPARE(form->size(), QSize(qRound(3870 * scale), qRound(5775 * scale)));
        for (const ControlRow& row : kControls) {
            QVERIFY2(placedAt(form->findChild<QWidget*>(row.name)->geometry(), row.twips, scale),
                     row.name);
        }
        QCOMPARE(captionThatDoesNotFit(*form), QString());
        QVERIFY(captionsFit(form->widgets(), used, scale));
        const QSize available = form->screen()->availableGeometry().size();
        QVERIFY(form->width() <= available.width() && form->height() <= available.height());
        if (roomOnScreen) {
            QCOMPARE(QFontInfo(used).pixelSize(), QFontInfo(font).pixelSize());
            // One pixel narrower and some caption would be cut.
            if (scale > 1.0 / 15) {
                QVERIFY(!captionsFit(form->widgets(), used, scale - 1.0 / 3870));
            }
        } else {
            QVERIFY(QFontInfo(used).pixelSize() < QFontInfo(font).pixelSize());
        }
    }

    // Every control lies inside its panel's frame
    // lines, and where two meet, one of them paints nothing there.
    void controlsKeepToTheirPanels_data() { controls_data(); }

    void controlsKeepToTheirPanels() {
        QFETCH(int, row);
        QWidget* widget = form->findChild<QWidget*>(kControls[row].name);
        const QRect place = widget->geometry();
        QVERIFY(form->rect().contains(place));
        const std::optional<QRect> panel = panelRound(place, form->scale());
        QVERIFY(panel.has_value());
        QVERIFY2(panel->adjusted(1, 1, -1, -1).contains(place), kControls[row].name);
        for (QWidget* other : controlsOf(*form)) {
            const QRect both = place & other->geometry();
            QVERIFY2(other == widget || both.isEmpty() || blankIn(*widget, both) ||
                         blankIn(*other, both),
                     qPrintable(other->objectName()));
        }
    }

    // Each label that names a field lies just above it or beside it; each
    // panel's number lies at its panel's top left.
    void labelsSitByWhatTheyName() {
        const QList<QWidget*> controls = controlsOf(*form);
        for (const QLabel* label : form->findChildren<QLabel*>()) {
            const QRect at = label->geometry();
            const auto named = std::find_if(controls.begin(), controls.end(), [&](QWidget* w) {
                return qobject_cast<QLineEdit*>(w) != nullptr &&
                       QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name) ==
                           label->text();
            });
            if (named != controls.end()) {
                const QRect field = (*named)->geometry();
                // Its middle over the field or before it: a pixel's overlap is
                // the panels' test to judge.
                const bool above = at.center().y() < field.top() &&
                                   field.top() - at.bottom() <= field.height() &&
                                   at.left() < field.right() && at.right() > field.left();
                const bool beside = at.center().x() < field.left() && at.top() <= field.bottom() &&
                                    at.bottom() >= field.top();
                QVERIFY2(above || beside, qPrintable(label->text()));
                continue;
            }
            const std::optional<QRect> panel = panelRound(at, form->scale());
            QVERIFY2(panel && label->text().endsWith('.'), qPrintable(label->text()));
            for (const QWidget* other : controls) {
                QVERIFY(other == label || panelRound(other->geometry(), form->scale()) != panel ||
                        (other->y() >= at.y() && other->x() >= at.x()));
            }
        }
    }

    // Tab reaches every control that takes focus once, and within each panel
    // from the top down.
    void tabGoesDownEachPanel() {
        std::vector<std::pair<QRect, int>> lastIn;  // each panel, the top of the last visited
        QStringList walked;
        for (QWidget* at = QApplication::focusWidget(); !walked.contains(at->objectName());
             at = QApplication::focusWidget()) {
            walked << at->objectName();
            const std::optional<QRect> panel = panelRound(at->geometry(), form->scale());
            QVERIFY(panel.has_value());
            const auto seen = std::find_if(lastIn.begin(), lastIn.end(),
                                           [&](const auto& p) { return p.first == *panel; });
            if (seen == lastIn.end()) {
                lastIn.emplace_back(*panel, at->y());
            } else {
                QVERIFY2(at->y() > seen->second, qPrintable(at->objectName()));
                seen->second = at->y();
            }
            QTest::keyClick(at, Qt::Key_Tab);
        }
        const QList<QWidget*> controls = controlsOf(*form);
        QCOMPARE(walked.size(), std::count_if(controls.begin(), controls.end(), [](QWidget* w) {
                     return w->focusPolicy() & Qt::TabFocus;
                 }));
    }

    void tabWalksTheFocusOrder() {
        const QStringList expected = {
            "Text1",  "Command1", "Command2", "Text2",  "Text3",    "Text4", "Text5",    "Command3",
            "Text6",  "Command4", "Text7",    "Text8",  "Command5", "Text9", "Command6", "Check1",
            "Check2", "Check3",   "Check4",   "Check5", "Check6",   "Text1"};
        QStringList walked{QApplication::focusWidget()->objectName()};
        for (int i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(walked, expected);
    }

    void frameLinesAreDrawnInTheTextColour() {
        const QImage image = form->grab().toImage();
        const QColor ink = form->palette().color(QPalette::WindowText);
        const double scale = form->scale();
        for (const FrameLine& line : kFrameLines) {
            for (const double at : {0.1, 0.5, 0.9}) {
                const QPoint p(qRound((line.x1 + (line.x2 - line.x1) * at) * scale),
                               qRound((line.y1 + (line.y2 - line.y1) * at) * scale));
                QCOMPARE(image.pixelColor(p), ink);
            }
        }
        // And nowhere it should not be: between the left edge and the boxes.
        QVERIFY(image.pixelColor(qRound(180 * scale), qRound(3000 * scale)) != ink);
    }

    // Each widget drives its own box of the sheet; several add the same
    // amount, so the roll alone would not tell them apart.
    void eachBoxDrivesItsOwnModifier_data() {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("roll");
        const char* rolls[] = {"5", "5", "5", "6", "3", "5"};
        for (const Box b : tarvelin::kAllBoxes) {
            QTest::newRow(qPrintable(QString("Check%1").arg(indexOf(b) + 1)))
                << int(b) << rolls[indexOf(b)];
        }
    }

    void eachBoxDrivesItsOwnModifier() {
        QFETCH(int, box);
        QFETCH(QString, roll);
        type(Field::Text2, "4");
        QTest::mouseClick(form->box(Box(box)), Qt::LeftButton);
        for (const Box b : tarvelin::kAllBoxes) {
            QCOMPARE(form->sheet().box(b), b == Box(box));
        }
        QCOMPARE(form->field(Field::Text2)->text(), roll);
        QTest::mouseClick(form->box(Box(box)), Qt::LeftButton);
        QVERIFY(!form->sheet().box(Box(box)));
        QCOMPARE(form->field(Field::Text2)->text(), QString("4"));
    }

    void workedExampleByTypingAndClicking() {
        QTest::keyClicks(form->field(Field::Text1), "4");
        QTest::keyClicks(form->field(Field::Text4), "12");
        QTest::keyClicks(form->field(Field::Text5), "4");
        QTest::keyClicks(form->field(Field::Text7), "5");
        const struct {
            const char* press;
            Field field;
            const char* shows;
        } steps[] = {
            {"Command1", Field::Text2, "3"},  {"Check1", Field::Text2, "4"},
            {"Command2", Field::Text3, "6."}, {"Command3", Field::Text6, "3."},
            {"Command4", Field::Text8, "1."}, {"Command5", Field::Text9, "2."},
            {"Command6", Field::Text2, "3"},
        };
        for (const auto& step : steps) {
            QTest::mouseClick(form->findChild<QAbstractButton*>(step.press), Qt::LeftButton);
            QCOMPARE(form->field(step.field)->text(), QString(step.shows));
            expectMirrored();
        }
        // Clear emptied the inputs, unticked the box and kept the results.
        for (const Field f : {Field::Text1, Field::Text4, Field::Text5, Field::Text7}) {
            QVERIFY(form->field(f)->text().isEmpty());
        }
        QVERIFY(!form->box(Box::Check1)->isChecked());
        QCOMPARE(form->field(Field::Text3)->text(), QString("6."));
        QVERIFY(form->message() == nullptr);

        // The odds stay after Clear, as the numbers do: casualties are
        // B(12, 1/6), hits B(12, 1/2).
        const QString casualties = QString::fromUtf8(
            "Out of date: Clear emptied Shots after Casualties.\nThe average number of casualties, "
            "with one decimal.\nnone: 11.2 %\nat least 1: 88.8 "
            "%\nat least 2: 61.9 %\nat least 3: 32.3 %\nat least 4: 12.5 %\nat least 5: 3.6 "
            "%\nat least 6: 0.8 %\nat least 7: 0.1 %");
        QCOMPARE(form->field(Field::Text9)->toolTip(), casualties);
        QCOMPARE(form->field(Field::Text9)->accessibleDescription(), casualties);
        const QString hits = form->field(Field::Text3)->toolTip();
        QVERIFY2(hits.contains("\nat least 1: > 99.9 %\nat least 2: 99.7 %\n"), qPrintable(hits));
        QVERIFY2(hits.endsWith("\nat least 11: 0.3 %"), qPrintable(hits));
        // Reached by keyboard, a result shows its odds without hovering: the
        // chart, and under it the same lines.
        form->findChild<QPushButton*>("Command5")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), form->field(Field::Text9));
        QTRY_VERIFY(shownTip() != nullptr);
        QCOMPARE(shownTip()->text(), casualties);
        shownTip()->hide();
    }

    // Both keyboard keys for a context menu open a result's, Copy Odds and
    // all. The window system turns the Menu key into a menu request itself.
    void keysOpenTheResultMenu_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("opens");
        QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier) << true;
        QTest::newRow("Menu") << int(Qt::Key_Menu) << int(Qt::NoModifier) << true;
        QTest::newRow("F10") << int(Qt::Key_F10) << int(Qt::NoModifier) << false;
        QTest::newRow("Ctrl+Shift+F10")
            << int(Qt::Key_F10) << int(Qt::ShiftModifier | Qt::ControlModifier) << false;
    }

    void keysOpenTheResultMenu() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, opens);
        workedExample("12");
        QLineEdit* field = form->field(Field::Text6);
        field->setFocus();
        if (key == Qt::Key_Menu) {
            const QPoint at = field->mapTo(form.get(), QPoint(4, 4));
            QWindowSystemInterface::handleContextMenuEvent(form->windowHandle(), false, at,
                                                           form->mapToGlobal(at), Qt::NoModifier);
            QWindowSystemInterface::flushWindowSystemEvents();
        } else {
            QTest::keyClick(form->windowHandle(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        }
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QCOMPARE(menu != nullptr, opens);
        if (opens) {
            QCOMPARE(menu->actions().back()->text(), QString("Copy Odds"));
            QVERIFY(menu->actions().back()->isEnabled());
            const QList<QAction*> entries = menu->actions();
            QVERIFY(std::any_of(entries.begin(), entries.end(), [](const QAction* a) {
                return a->text() == "Compare with This" && a->isEnabled();
            }));
            menu->close();
        }
        QCOMPARE(field->text(), QString("3."));
    }

    // Enter in an input presses the step that reads it, as its help text
    // says, Enter on a button presses the button, and Enter in a result does
    // nothing; focus stays.
    void enterPressesTheStep_data() {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("shows");
        QTest::addColumn<QString>("help");
        const QString none;
        QTest::newRow("Aimcraft") << "Text1" << QStringList() << int(Field::Text2) << "3"
                                  << "Enter presses To Hit.";
        QTest::newRow("Shots") << "Text4" << QStringList() << int(Field::Text3) << "6."
                               << "Enter presses Hits.";
        QTest::newRow("needed roll") << "Text2" << QStringList() << int(Field::Text3) << "6."
                                     << "Enter presses Hits.";
        QTest::newRow("To Wound") << "Text5" << QStringList{"Command2"} << int(Field::Text6) << "3."
                                  << "Enter presses Wounds.";
        QTest::newRow("Armour Save")
            << "Text7" << QStringList{"Command2", "Command3"} << int(Field::Text8) << "1."
            << "Enter presses Saves.";
        QTest::newRow("Hits button")
            << "Command2" << QStringList() << int(Field::Text3) << "6." << none;
        QTest::newRow("result field")
            << "Text3" << QStringList() << int(Field::Text3) << "" << none;
    }

    void enterPressesTheStep() {
        QFETCH(QString, focus);
        QFETCH(QStringList, before);
        QFETCH(int, result);
        QFETCH(QString, shows);
        QFETCH(QString, help);
        type(Field::Text1, "4");
        type(Field::Text2, "4");
        type(Field::Text4, "12");
        type(Field::Text5, "4");
        type(Field::Text7, "5");
        for (const QString& name : before) {
            press(name.toLatin1());
        }
        auto* widget = form->findChild<QWidget*>(focus);
        widget->setFocus();
        QTest::keyClick(widget, Qt::Key_Return);
        QCOMPARE(form->field(Field(result))->text(), shows);
        QCOMPARE(QApplication::focusWidget(), widget);
        QVERIFY(form->message() == nullptr);
        QCOMPARE(widget->toolTip().contains("Enter presses"), !help.isEmpty());
        QVERIFY(widget->toolTip().contains(help));
    }

    void closeKeysCloseTheWindow_data() {
        QTest::addColumn<QKeySequence>("keys");
        QTest::newRow("Ctrl+W") << QKeySequence(Qt::CTRL | Qt::Key_W);
        QTest::newRow("Ctrl+Q") << QKeySequence(Qt::CTRL | Qt::Key_Q);
    }

    void closeKeysCloseTheWindow() {
        QFETCH(QKeySequence, keys);
        type(Field::Text4, "12");
        QTest::keySequence(form->field(Field::Text4), keys);
        QVERIFY(!form->isVisible());
    }

    // The desktop's close button, sent as the window system sends it, while a
    // failure message is open: both go, and with them the program.
    void closingWithAMessageOpenEndsTheProgram() {
        press("Command2");
        QPointer<QMessageBox> message = form->message();
        QVERIFY(message != nullptr);
        QTRY_VERIFY(message->isVisible());
        QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
            form->windowHandle());
        QVERIFY(!form->isVisible());
        QTRY_VERIFY(message == nullptr);
        // No window is left open to keep the program running.
        for (const QWidget* window : QApplication::topLevelWidgets()) {
            QVERIFY2(!window->isVisible(), qPrintable(window->objectName()));
        }
    }

    void aSecondFailureReplacesTheMessage() {
        press("Command2");
        QTRY_VERIFY(form->message() != nullptr && form->message()->isVisible());
        press("Command4");
        QTRY_COMPARE(form->findChildren<QMessageBox*>().size(), 1);
        QVERIFY(form->message()->text().startsWith("Armour Save is empty"));
        form->message()->close();
    }

    // A number copied from a cell or a terminal brings its line end.
    void aPastedLineEndIsABlank_data() {
        QTest::addColumn<QString>("pasted");
        QTest::newRow("LF") << "10\n";
        QTest::newRow("CR LF") << "10\r\n";
    }

    void aPastedLineEndIsABlank() {
        QFETCH(QString, pasted);
        QApplication::clipboard()->setText(pasted);
        type(Field::Text2, "4");
        QLineEdit* shots = form->field(Field::Text4);
        shots->setFocus();
        QTest::keyClick(shots, Qt::Key_V, Qt::ControlModifier);
        press("Command2");
        QVERIFY(form->message() == nullptr);
        QCOMPARE(form->field(Field::Text3)->text(), QString("5."));
    }

    // Every control explains itself, on hover and to a screen reader alike,
    // with the values it takes where it has a range.
    void everyControlExplainsItself_data() {
        QTest::addColumn<QString>("names");
        const char* rows[][2] = {{"Text1", "1 to 10"},
                                 {"Text4", "shots"},
                                 {"Text2", "roll needed to hit"},
                                 {"Text5", "up to 6"},
                                 {"Text7", "up to 6"},
                                 {"Text3", "average number of hits"},
                                 {"Text6", "wounds"},
                                 {"Text8", "saved"},
                                 {"Text9", "casualties"},
                                 {"Command1", "roll needed to hit"},
                                 {"Command2", "hits"},
                                 {"Command3", "wounds"},
                                 {"Command4", "saved"},
                                 {"Command5", "casualties"},
                                 {"Command6", "Empties"},
                                 {"Check1", "+1 to the needed roll"},
                                 {"Check2", "+1"},
                                 {"Check3", "+1"},
                                 {"Check4", "+2"},
                                 {"Check5", "\u22121"},
                                 {"Check6", "+1"}};
        for (const auto& [control, names] : rows) {
            QTest::newRow(control) << QString::fromUtf8(names);
        }
    }

    void everyControlExplainsItself() {
        QFETCH(QString, names);
        const QWidget* widget = form->findChild<QWidget*>(QTest::currentDataTag());
        QVERIFY(widget->toolTip().contains(names));
        QCOMPARE(widget->accessibleDescription(), widget->toolTip());
        QCOMPARE(QAccessible::queryAccessibleInterface(form.get())->role(), QAccessible::Window);
    }

    // What each press says, from the control it says it on: the same result
    // again is said again, a box says the roll it moved, Clear's unticking
    // says nothing more, and a failure is left to its message. (Whether the
    // screen reader hears it is the Orca test's to show.)
    void resultsAreSpoken() {
        QList<QPair<QObject*, QString>> heard;
        connect(
            form->findChild<Announcer*>(), &Announcer::said, this,
            [&heard](QWidget* speaker, const QString& text) { heard << qMakePair(speaker, text); });
        type(Field::Text2, "4");
        type(Field::Text4, "12");
        QPushButton* hits = button("Command2");
        press("Command2");
        press("Command2");
        QLineEdit* shots = form->field(Field::Text4);
        shots->setFocus();
        QTest::keyClick(shots, Qt::Key_Return);
        QCheckBox* moved = form->box(Box::Check1);
        moved->setFocus();
        QTest::keyClick(moved, Qt::Key_Space);
        press("Command6");
        type(Field::Text4, "");
        press("Command2");
        const QList<QPair<QObject*, QString>> expected = {{hits, "Hits: 6."},
                                                          {hits, "Hits: 6."},
                                                          {shots, "Hits: 6."},
                                                          {moved, "Needed roll: 5"},
                                                          {button("Command6"),
                                                           "Aimcraft, Shots, To Wound and Armour "
                                                           "Save cleared."}};
        QTRY_COMPARE(heard, expected);
        QTest::qWait(50);
        QCOMPARE(heard, expected);
        // Once focus moves on, every control explains itself again.
        button("Command3")->setFocus();
        for (QWidget* control : {static_cast<QWidget*>(hits), static_cast<QWidget*>(shots)}) {
            QCOMPARE(control->accessibleDescription(), control->toolTip());
        }
    }

    void spaceOnAFocusedBoxAppliesItsModifier() {
        type(Field::Text2, "4");
        for (const auto& [box, after] :
             {std::pair{Box::Check4, "6"}, std::pair{Box::Check5, "5"}}) {
            form->box(box)->setFocus();
            QTest::keyClick(form->box(box), Qt::Key_Space);
            QVERIFY(form->box(box)->isChecked());
            QCOMPARE(form->field(Field::Text2)->text(), QString(after));
        }
        QTest::keyClick(form->box(Box::Check5), Qt::Key_Space);
        QCOMPARE(form->field(Field::Text2)->text(), QString("6"));
        expectMirrored();
    }

    void spaceOnAFocusedButtonPressesIt() {
        type(Field::Text1, "6");
        button("Command1")->setFocus();
        QTest::keyClick(button("Command1"), Qt::Key_Space);
        QCOMPARE(form->field(Field::Text2)->text(), QString("1"));
    }

    void everyKeystrokeUndoAndRedoReachTheSheet() {
        QLineEdit* shots = form->field(Field::Text4);
        shots->setFocus();
        QString typed;
        for (const QChar c : QString("12.5")) {
            QTest::keyClick(shots, c.toLatin1());
            typed += c;
            QCOMPARE(driver::sheetText(*form, Field::Text4), typed);
        }
        QTest::keyClick(shots, Qt::Key_Backspace);
        QCOMPARE(driver::sheetText(*form, Field::Text4), QString("12."));
        // Undo and redo are the form's: the whole run of typing goes and comes back.
        QTest::keyClick(shots, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(driver::sheetText(*form, Field::Text4), QString());
        QTest::keyClick(shots, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(driver::sheetText(*form, Field::Text4), QString("12."));
        // The cursor stayed where the user left it.
        QCOMPARE(shots->cursorPosition(), 3);
    }

    void aResultFieldSnapsBack() {
        type(Field::Text2, "4");
        type(Field::Text4, "9");
        press("Command2");
        QCOMPARE(form->field(Field::Text3)->text(), QString("4.5"));
        form->field(Field::Text3)->setFocus();
        QTest::keyClick(form->field(Field::Text3), Qt::Key_7);
        QCOMPARE(form->field(Field::Text3)->text(), QString("4.5"));
        QTest::keyClick(form->field(Field::Text3), Qt::Key_Backspace);
        QCOMPARE(form->field(Field::Text3)->text(), QString("4.5"));
        QCOMPARE(form->sheet().hits(), 4.5);
    }

    void failures_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("culprit");
        QTest::addColumn<QString>("says");
        QTest::newRow("shots empty") << ""
                                     << "Command2"
                                     << "Text4"
                                     << "Shots is empty";
        QTest::newRow("rating 11") << "11"
                                   << "Command1"
                                   << "Text1"
                                   << "must be from 1 to 10";
        QTest::newRow("save 7") << "7"
                                << "Command4"
                                << "Text7"
                                << "A save of 7 is not on the save table";
        QTest::newRow("wound words") << "four"
                                     << "Command3"
                                     << "Text5"
                                     << "is not a number";
    }

    void failures() {
        QFETCH(QString, text);
        QFETCH(QString, action);
        QFETCH(QString, culprit);
        QFETCH(QString, says);
        auto* input = form->findChild<QLineEdit*>(culprit);
        input->setText(text);
        button(action.toLatin1())->setFocus();
        press(action.toLatin1());

        QMessageBox* message = form->message();
        QVERIFY(message != nullptr);
        QTRY_VERIFY(message->isVisible());
        QCOMPARE(message->windowTitle(), QString("Tarvelin"));
        QCOMPARE(message->icon(), QMessageBox::Warning);
        QVERIFY2(message->text().contains(says), qPrintable(message->text()));
        QTest::keyClick(message, Qt::Key_Enter);
        QTRY_VERIFY(form->message() == nullptr);
        QTRY_COMPARE(QApplication::focusWidget(), input);
        QCOMPARE(input->selectedText(), input->text());

        // Nothing typed is lost, and the next calculation works.
        QCOMPARE(input->text(), action == "Command1" ? QString() : text);
        type(Field::Text1, "4");
        type(Field::Text4, "12");
        press("Command1");
        press("Command2");
        QCOMPARE(form->field(Field::Text3)->text(), QString("8."));
        QVERIFY(form->message() == nullptr);
    }

    void aPastedMegabyteReachesTheSheetWhole() {
        const QString huge(1 << 20, QChar('7'));
        QApplication::clipboard()->setText(huge);
        QLineEdit* shots = form->field(Field::Text4);
        shots->setFocus();
        QTest::keyClick(shots, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(shots->text().size(), huge.size());
        QCOMPARE(form->sheet().text(Field::Text4).size(), std::size_t(huge.size()));
        type(Field::Text2, "4");
        press("Command2");
        QVERIFY(form->message() != nullptr);
        QVERIFY(form->message()->text().contains("Shots holds a number too large"));
        form->message()->close();
    }

    void accessibleNames_data() {
        QTest::addColumn<QString>("name");
        const char* rows[][2] = {
            {"Text1", "Aimcraft"},    {"Text4", "Shots"},
            {"Text5", "To Wound"},    {"Text7", "Armour Save"},
            {"Text2", "Needed roll"}, {"Text3", "Hits"},
            {"Text6", "Wounds"},      {"Text8", "Saves"},
            {"Text9", "Casualties"},  {"Command1", "To Hit"},
            {"Command6", "Clear"},    {"Check6", "Double Shots  (Dark Elves only)"}};
        for (const auto& [control, name] : rows) {
            QTest::newRow(control) << name;
        }
    }

    void accessibleNames() {
        QFETCH(QString, name);
        QWidget* widget = form->findChild<QWidget*>(QTest::currentDataTag());
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(accessible != nullptr);
        QCOMPARE(accessible->text(QAccessible::Name), name);
    }

    void assistiveEditsAndTogglesReachTheSheet() {
        QAccessibleInterface* roll =
            QAccessible::queryAccessibleInterface(form->field(Field::Text2));
        QVERIFY(roll->editableTextInterface() != nullptr);
        roll->editableTextInterface()->insertText(0, "4");
        QCOMPARE(driver::sheetText(*form, Field::Text2), QString("4"));
        roll->setText(QAccessible::Value, "3");
        QCOMPARE(driver::sheetText(*form, Field::Text2), QString("3"));

        QAccessibleInterface* moved = QAccessible::queryAccessibleInterface(form->box(Box::Check1));
        QAccessibleActionInterface* actions = moved->actionInterface();
        QVERIFY(actions != nullptr);
        QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
        actions->doAction(QAccessibleActionInterface::toggleAction());
        QTRY_VERIFY(form->sheet().box(Box::Check1));
        QCOMPARE(form->field(Field::Text2)->text(), QString("4"));

        QAccessibleInterface* hits =
            QAccessible::queryAccessibleInterface(form->field(Field::Text3));
        hits->editableTextInterface()->replaceText(0, 0, "x");
        QCOMPARE(form->field(Field::Text3)->text(), QString("0."));
        expectMirrored();
    }

    void commaLocaleReadsAndWritesComma() {
        QVERIFY(open(","));
        type(Field::Text2, "4");
        type(Field::Text4, "5");
        press("Command2");
        QCOMPARE(form->field(Field::Text3)->text(), QString("2,5"));
        // B(5, 1/2): none 1/32, at least one 31/32.
        QVERIFY(form->field(Field::Text3)->toolTip().contains("none: 3,1 %\nat least 1: 96,9 %"));
        // The chart's labels too: at least 3 of 5 is an even chance.
        form->field(Field::Text3)->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(shownTip() != nullptr);
        const QImage chart = shownTip()->grab().toImage();
        const auto& labels = shownTip()->chart()->labels();
        const auto half = std::find_if(labels.begin(), labels.end(), [](const auto& label) {
            return label.text.endsWith("3: 50,0 %");
        });
        QVERIFY(half != labels.end());
        QVERIFY(writtenIn(chart, half->text, shownTip()->font(), shownTip()->palette()));
        QVERIFY(!writtenIn(chart, QString(half->text).replace(',', '.'), shownTip()->font(),
                           shownTip()->palette()));
        shownTip()->hide();
        // So many shots that the chance of none underflows: still not impossible.
        type(Field::Text4, "100000");
        press("Command2");
        QVERIFY(form->field(Field::Text3)->toolTip().contains("none: < 0,1 %\nin steps of 100:"));
        type(Field::Text5, "2.5");
        press("Command3");
        QVERIFY(form->message() != nullptr);
        QVERIFY(form->message()->text().contains(QString::fromUtf8("use “,” as the decimal")));
    }
};

int main(int argc, char* argv[]) {
    return driver::runOnTestScreen<TestForm>(argc, argv, "test_form");
}
#include "test_form.moc"
