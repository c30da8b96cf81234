// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleEditableTextInterface>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <cmath>
#include <limits>
#include <memory>

#include <qpa/qwindowsysteminterface.h>

#include "window/announcer.h"
#include "window/explanations.h"
#include "window/form1.h"
#include "window/odds_tip.h"
#include "window/wrapping_check_box.h"

using tarvelin::Box;
using tarvelin::Field;
using tarvelin::indexOf;

namespace {

QString sheetText(const Form1& form, Field field) {
    return QString::fromStdString(form.sheet().text(field));
}

struct ControlRow {
    const char* name;
    const char* kind;
    const char* caption;
    QRect twips;
    int alignment;
};

constexpr int kCentred = Qt::AlignHCenter;
constexpr int kLeft = Qt::AlignLeft;

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

// The chance of a count from `from` to `to` among n shots that each succeed
// with chance p, each term from its logarithm: a model of its own.
double chanceOfCounts(int n, int from, int to, double p) {
    long double sum = 0;
    for (int k = from; k <= to; ++k) {
        sum += std::exp(std::lgamma(n + 1.0L) - std::lgamma(k + 1.0L) - std::lgamma(n - k + 1.0L) +
                        k * std::log(static_cast<long double>(p)) +
                        (n - k) * std::log1p(-static_cast<long double>(p)));
    }
    return static_cast<double>(sum);
}

double contrastRatio(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto linear = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Whether `text`, in this font and these tooltip colours, is written somewhere
// in the image: its ink is ink there and its bare background is bare there, so
// "2.5" is not found where "2,5" is written.
std::optional<QPoint> foundAt(const QImage& image, const QString& text, const QFont& font,
                              const QPalette& palette) {
    const QColor base = palette.color(QPalette::ToolTipBase);
    const QColor ink = palette.color(QPalette::ToolTipText);
    QImage words(QFontMetrics(font).horizontalAdvance(text), QFontMetrics(font).height(),
                 QImage::Format_RGB32);
    words.fill(base);
    QPainter painter(&words);
    painter.setFont(font);
    painter.setPen(ink);
    painter.drawText(words.rect(), Qt::AlignLeft | Qt::AlignVCenter, text);
    painter.end();
    const auto inky = [&ink](QRgb pixel) { return contrastRatio(QColor(pixel), ink) < 1.5; };
    const auto bare = [&base](QRgb pixel) { return contrastRatio(QColor(pixel), base) < 1.1; };
    // Each pixel judged once: 1 ink, 2 bare background, 0 neither.
    const auto judge = [&](const QImage& from) {
        std::vector<std::vector<char>> kinds(std::size_t(from.height()));
        for (int y = 0; y < from.height(); ++y) {
            for (int x = 0; x < from.width(); ++x) {
                const QRgb pixel = from.pixel(x, y);
                kinds[std::size_t(y)].push_back(inky(pixel) ? 1 : bare(pixel) ? 2 : 0);
            }
        }
        return kinds;
    };
    const auto want = judge(words);
    const auto found = judge(image);
    for (std::size_t top = 0; top + want.size() <= found.size(); ++top) {
        for (std::size_t left = 0; left + want[0].size() <= found[0].size(); ++left) {
            bool same = true;
            for (std::size_t y = 0; same && y < want.size(); ++y) {
                for (std::size_t x = 0; same && x < want[0].size(); ++x) {
                    const char is = found[top + y][left + x];
                    same = want[y][x] == 1 ? is == 1 : want[y][x] == 0 || is == 2;
                }
            }
            if (same) {
                return QPoint(int(left), int(top));
            }
        }
    }
    return std::nullopt;
}

bool writtenIn(const QImage& image, const QString& text, const QFont& font,
               const QPalette& palette) {
    return foundAt(image, text, font, palette).has_value();
}

// A dark desktop palette, tooltips included.
QPalette darkPalette() {
    QPalette dark(QColor(0x3a, 0x3a, 0x3a), QColor(0x2b, 0x2b, 0x2b));
    dark.setColor(QPalette::ToolTipBase, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::ToolTipText, QColor(0xe8, 0xe8, 0xe8));
    dark.setColor(QPalette::Highlight, QColor(0x3d, 0x8e, 0xc9));
    return dark;
}

// Along a row or column of pixels, the lengths of the runs in `colour` and
// of the runs in anything else, in turn, the first in `colour`.
std::vector<int> runsOf(const QImage& image, const QColor& colour, QPoint at, QPoint step,
                        int length) {
    std::vector<int> runs{0};
    for (int i = 0; i < length; ++i, at += step) {
        if ((image.pixelColor(at) == colour) != (runs.size() % 2 == 1)) {
            runs.push_back(0);
        }
        ++runs.back();
    }
    return runs;
}

// The pinned result as painted: each bar an outline round the background,
// its steps' drops and the key's step in dashes as long as their gaps, its
// average's mark hollow.
void checkPinned(const QImage& image, const OddsChartPicture& picture, const QPalette& palette) {
    const QColor colour = OddsChartPicture::pinnedColour(palette);
    const tarvelin::OddsChart& kept = *picture.pinned();
    const QPolygon mark = picture.keyRow(true).mark;
    QVERIFY(image.pixelColor((mark[0] + mark[1] + mark[2]) / 3) !=
            palette.color(QPalette::ToolTipText));
    // Both of its marks drawn, in its colour.
    for (const QRect& sign :
         {mark.boundingRect(), picture.averageMark(kept.average).boundingRect()}) {
        bool drawn = false;
        for (int y = sign.top(); y <= sign.bottom(); ++y) {
            for (int x = sign.left(); x <= sign.right(); ++x) {
                drawn = drawn || image.pixelColor(x, y) == colour;
            }
        }
        QVERIFY(drawn);
    }
    for (std::size_t i = 0; i < kept.bars.size(); ++i) {
        const QRect bar = picture.pinnedBarRect(i);
        const QPoint mid = bar.center();
        if (bar.height() < 1) {
            continue;
        }
        for (const QPoint& edge : {QPoint(bar.left(), mid.y()), QPoint(bar.right(), mid.y()),
                                   QPoint(mid.x(), bar.top()), QPoint(mid.x(), bar.bottom())}) {
            QCOMPARE(image.pixelColor(edge), colour);
        }
        QVERIFY(image.pixelColor(mid.x(), bar.bottom() + 1) != colour);
        QVERIFY(bar.height() < 8 || image.pixelColor(mid) != colour);
    }
    const QRect line = picture.keyRow(true).line;
    const int thick = line.height();
    const int slot = picture.plot().width() / int(kept.bars.size());
    const std::size_t t = kept.tallest;
    const int top = picture.lineAt(kept.bars[t].atLeast) - thick / 2;
    const int drop = t + 1 < kept.bars.size() ? picture.lineAt(kept.bars[t + 1].atLeast) - top : 0;
    const QPoint dropAt(picture.plot().left() + int(t + 1) * slot - thick / 2, top);
    const std::vector<int> key = runsOf(image, colour, QPoint(line.left(), line.center().y()),
                                        QPoint(1, 0), line.width() + 1);
    const std::vector<int> down = runsOf(image, colour, dropAt, QPoint(0, 1), drop);
    QVERIFY(key.size() >= 4 && key.size() % 2 == 0 && (drop < 4 * key[0] || down.size() >= 4));
    for (const auto* runs : {&key, &down}) {
        for (std::size_t i = 0; i + 2 < runs->size(); ++i) {
            QCOMPARE((*runs)[i], key[0]);
        }
    }
}

// The chart's parts in an even layout: half a line round it all, the axis
// words flush with it and as far from the plot; each bar centred in its
// slot and each count under its bar, half a line clear of the next; each
// key sign level with its word and nearer it than the sign before.
void checkLayout(const OddsChartPicture& picture, int unit) {
    const int margin = unit / 2;
    const QRect plot = picture.plot();
    QRect all = plot | picture.keyRow().bar;
    for (const auto* list : {&picture.placedTexts(), &picture.labels()}) {
        for (const auto& each : *list) {
            all |= each.place;
        }
    }
    QCOMPARE(QRect(QPoint(), picture.size()).adjusted(margin, margin, -margin, -margin), all);
    // Under the title, how many counts a bar holds, when more than one.
    const int step = picture.chart().step;
    QCOMPARE(picture.placedTexts()[1].text ==
                 QString("Each bar holds %1 counts, from the one under it.").arg(step),
             step > 1);
    const auto place = [&](const QString& words) {
        const auto& texts = picture.placedTexts();
        const auto found = std::find_if(texts.begin(), texts.end(),
                                        [&](const auto& t) { return t.text == words; });
        return found == texts.end() ? QRect() : found->place;
    };
    QCOMPARE(place("100 %").left(), margin);
    for (const auto& [words, chance] : {std::pair{"100 %", 1.0}, {"50 %", 0.5}, {"0 %", 0.0}}) {
        QCOMPARE(plot.left() - place(words).right() - 1, margin);
        QVERIFY(std::abs(place(words).center().y() - picture.lineAt(chance)) <= 1);
    }
    // The bars as wide as needed to reach the end of the heading, up to three lines.
    const auto& bars = picture.chart().bars;
    const int slot = plot.width() / int(bars.size());
    const auto& texts = picture.placedTexts();
    const int heading = std::max(texts[0].place.right(), texts[step > 1 ? 1 : 0].place.right());
    QVERIFY(slot >= 3 * unit || plot.right() + int(bars.size()) > heading);
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const QRect columns = picture.barColumns(i);
        const int before = columns.left() - plot.left() - int(i) * slot;
        QVERIFY(before >= 0 && std::abs(slot - columns.width() - 2 * before) <= 1);
        // Pinned, the two volleys' bars share the columns half and half.
        const QRect now = picture.barRect(i);
        const QRect kept = picture.pinnedBarRect(i);
        QVERIFY(!picture.pinned() ||
                (now.left() == columns.left() && kept.right() == columns.right() &&
                 now.width() == kept.width() && columns.width() - 2 * now.width() <= 1));
        const QRect count = place(QString::number(bars[i].count));
        QVERIFY(std::abs(count.left() + count.right() - columns.left() - columns.right()) <= 2);
        QVERIFY(i == 0 ||
                count.left() - place(QString::number(bars[i - 1].count)).right() > margin);
    }
    // The average's mark under the axis where the average falls on the
    // counts' scale, and the counts right under it.
    const tarvelin::OddsChart& chart = picture.chart();
    const QPolygon mark = picture.averageMark(chart.average);
    const double at = plot.left() + (chart.average - bars[0].count + 0.5) * slot / chart.step;
    QVERIFY(std::abs(mark[0].x() - std::clamp(at, 1.0 * plot.left(), 1.0 * plot.right())) <= 1);
    const int under = place(QString::number(bars[0].count)).top() - mark.boundingRect().bottom();
    QVERIFY(mark.boundingRect().top() > plot.bottom() + 1 && under > 0 && under <= 2);
    // Of the size the key shows it at.
    const QSize shown = picture.keyRow().mark.boundingRect().size() - mark.boundingRect().size();
    QVERIFY(std::abs(shown.width()) <= 1 && std::abs(shown.height()) <= 1);
    // The key set off from the counts over it twice as far as its rows are apart.
    const auto gap = [&](const QString& upper, const QString& lower) {
        return place(lower).top() - place(upper).bottom() - 1;
    };
    const int betweenRows = picture.pinned() ? gap("exactly", "pinned exactly") : 1;
    QVERIFY(betweenRows > 0 && gap(QString::number(bars[0].count), "exactly") >= 2 * betweenRows);
    for (const bool pinned : {false, true}) {
        const auto& key = picture.keyRow(pinned);
        const QString prefix = pinned ? "pinned " : "";
        if (pinned && !picture.pinned()) {
            continue;
        }
        const QRect signs[] = {key.bar, key.line, key.mark.boundingRect()};
        const QRect words[] = {place(prefix + "exactly"), place(prefix + "at least"),
                               place(prefix + "average")};
        const int near = words[0].left() - signs[0].right();
        QCOMPARE(signs[0].left(), margin);
        for (std::size_t i = 0; i < 3; ++i) {
            QVERIFY(std::abs(signs[i].center().y() - words[i].center().y()) <= 1);
            QVERIFY(std::abs(words[i].left() - signs[i].right() - near) <= 1);
        }
        // The average's mark points up from the middle of a level base.
        QVERIFY(std::abs(2 * key.mark[0].x() - key.mark[1].x() - key.mark[2].x()) <= 1);
        QVERIFY(key.mark[0].y() < key.mark[1].y() && key.mark[1].y() == key.mark[2].y());
        QCOMPARE(signs[2].left() - words[1].right(), signs[1].left() - words[0].right());
        QVERIFY(signs[1].left() - words[0].right() > 2 * near);
    }
}

}  // namespace

class TestForm1 : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Form1> form;

    QPushButton* button(const char* name) const { return form->findChild<QPushButton*>(name); }
    void press(const char* name) const { QTest::mouseClick(button(name), Qt::LeftButton); }
    void type(Field field, const QString& text) const {
        QLineEdit* edit = form->field(field);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    void workedExample(const QString& shots) const {
        type(Field::Text1, "4");
        type(Field::Text4, shots);
        type(Field::Text5, "4");
        type(Field::Text7, "5");
        press("Command1");
        QTest::mouseClick(form->box(Box::Check1), Qt::LeftButton);
        for (const char* step : {"Command2", "Command3", "Command4", "Command5"}) {
            press(step);
        }
    }
    // The odds tooltip, if one is on screen.
    OddsTip* shownTip() const {
        auto* tip = form->findChild<OddsTip*>();
        return tip != nullptr && tip->isVisible() ? tip : nullptr;
    }
    // Copy Odds in the field's context menu, opened as a right click opens it.
    QAction* copyOddsEntry(Field field, const QString& entry = "Copy Odds") const {
        QLineEdit* edit = form->field(field);
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(4, 4),
                                edit->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(edit, &click);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        const QList<QAction*> entries = menu != nullptr ? menu->actions() : QList<QAction*>();
        const auto found = std::find_if(entries.begin(), entries.end(),
                                        [&entry](const QAction* a) { return a->text() == entry; });
        return found != entries.end() ? *found : nullptr;
    }
    // Every widget shows exactly what the sheet holds.
    void expectMirrored() const {
        for (const Field field : tarvelin::kAllFields) {
            QCOMPARE(form->field(field)->text(), sheetText(*form, field));
        }
        for (const Box box : tarvelin::kAllBoxes) {
            QCOMPARE(form->box(box)->isChecked(), form->sheet().box(box));
        }
    }

private slots:
    // The first window of all, with a screen reader listening from the start.
    void initTestCase() {
        QAccessible::setActive(true);
        const auto guard = qScopeGuard([] { QAccessible::setActive(false); });
        Form1 first(".");
        QCOMPARE(QAccessible::queryAccessibleInterface(&first)->role(), QAccessible::Window);
    }

    void init() {
        form = std::make_unique<Form1>(".");
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
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

    // Without odds a result says why, in its tooltip, to a screen reader and
    // on its Copy Odds, which stays in the menu but disabled.
    void oddsSayWhyTheyAreMissing_data() {
        QTest::addColumn<QString>("shots");
        QTest::addColumn<QStringList>("presses");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("reason");
        QTest::newRow("before Hits")
            << "12" << QStringList() << int(Field::Text3)
            << "Odds appear once Hits has worked from a whole number of shots.";
        QTest::newRow("shots not whole") << "12.5" << QStringList{"Command2"} << int(Field::Text3)
                                         << "Odds need a whole number of shots from 0 to 100,000.";
        QTest::newRow("saves from earlier wounds")
            << "12" << QStringList{"Command2", "Command3", "Command4", "Command3", "Command5"}
            << int(Field::Text9) << "No odds: Saves was not worked out from these wounds.";
    }

    void oddsSayWhyTheyAreMissing() {
        QFETCH(QString, shots);
        QFETCH(QStringList, presses);
        QFETCH(int, result);
        QFETCH(QString, reason);
        type(Field::Text2, "4");
        type(Field::Text4, shots);
        type(Field::Text5, "4");
        type(Field::Text7, "5");
        for (const QString& name : presses) {
            press(name.toLatin1());
        }
        const QLineEdit* field = form->field(Field(result));
        QVERIFY2(field->toolTip().endsWith("\n" + reason), qPrintable(field->toolTip()));
        QCOMPARE(field->accessibleDescription(), field->toolTip());
        const QAction* copy = copyOddsEntry(Field(result));
        QVERIFY(copy != nullptr && copy->text() == "Copy Odds" && !copy->isEnabled());
        QCOMPARE(copy->toolTip(), reason);
        QVERIFY(qobject_cast<QMenu*>(copy->parent())->toolTipsVisible());
        QApplication::activePopupWidget()->close();
    }

    // A result that no longer follows from what the form shows is faded and
    // says why first in its tooltip and description; running its step from
    // fresh inputs brings it back. marks: one letter per result, x when out of
    // date; line: the first line of the result named last.
    void resultsGoOutOfDate_data() {
        QTest::addColumn<bool>("example");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QString>("marks");
        QTest::addColumn<QString>("line");
        const QStringList again{"Command2", "Command3", "Command4", "Command5", "Text9"};
        QTest::newRow("box") << true << QStringList{"Check3", "Text3"} << "xxxx"
                             << "Out of date: Soft Cover was ticked after Hits.";
        QTest::newRow("box, dark") << true << QStringList{"dark", "Check3", "Text9"} << "xxxx"
                                   << "Out of date: Soft Cover was ticked after Casualties.";
        QTest::newRow("box, steps again") << true << QStringList{"Check3"} + again << "...."
                                          << "";
        QTest::newRow("input") << true << QStringList{"Text5=3", "Text6"} << ".xxx"
                               << "Out of date: To Wound was changed after Wounds.";
        QTest::newRow("input, its step")
            << true << QStringList{"Text5=3", "Command3", "Text8"} << "..xx"
            << "Out of date: Wounds was worked out again after Saves.";
        QTest::newRow("step redone") << true << QStringList{"Command2", "Text9"} << ".xxx"
                                     << "Out of date: Hits was worked out again after Casualties.";
        QTest::newRow("needed roll by To Hit")
            << true << QStringList{"Text1=5", "Command1", "Text3"} << "xxxx"
            << "Out of date: To Hit changed the needed roll after Hits.";
        QTest::newRow("Clear") << true << QStringList{"Command6", "Text6"} << "xxxx"
                               << "Out of date: Clear emptied Shots after Wounds.";
        const char* failed =
            "Out of date: Saves failed, so Casualties still subtracts the saves worked out before.";
        QTest::newRow("step failed")
            << true << QStringList{"Text7=7", "Command4", "Text9"} << "..xx" << failed;
        QTest::newRow("step failed, then Casualties")
            << true << QStringList{"Text7=7", "Command4", "Command5", "Text9"} << "..xx" << failed;
        QTest::newRow("step failed, then mended")
            << true
            << QStringList{"Text7=7", "Command4", "Text7=5", "Command4", "Command5", "Text9"}
            << "...."
            << "";
        QTest::newRow("without Hits")
            << false
            << QStringList{"Text5=4", "Text7=5", "Command3", "Command4", "Command5", "Text8"}
            << ".xxx"
            << "Out of date: Saves was worked out without Hits.";
    }

    void resultsGoOutOfDate() {
        QFETCH(bool, example);
        QFETCH(QStringList, actions);
        QFETCH(QString, marks);
        QFETCH(QString, line);
        const auto restore =
            qScopeGuard([desktop = QApplication::palette()] { QApplication::setPalette(desktop); });
        if (example) {
            workedExample("12");
        }
        for (const QString& action : actions.first(actions.size() - 1)) {
            if (action == "dark") {
                QApplication::setPalette(darkPalette());
            } else if (action.contains('=')) {
                type(Field(action.mid(4, 1).toInt() - 1), action.section('=', 1));
            } else {
                QTest::mouseClick(form->findChild<QAbstractButton*>(action), Qt::LeftButton);
            }
        }
        const std::array<Field, 4> results{Field::Text3, Field::Text6, Field::Text8, Field::Text9};
        for (std::size_t i = 0; i < results.size(); ++i) {
            const QLineEdit* field = form->field(results[i]);
            const bool stale = marks[qsizetype(i)] == 'x';
            QCOMPARE(field->toolTip().startsWith("Out of date: "), stale);
            QCOMPARE(field->accessibleDescription(), field->toolTip());
            QCOMPARE(field->font().italic(), stale);
            const QColor faint = QApplication::palette(field).color(QPalette::PlaceholderText);
            QCOMPARE(field->palette().color(QPalette::Text) == faint, stale);
        }
        const QLineEdit* named = form->findChild<QLineEdit*>(actions.back());
        QCOMPARE(named->toolTip().section('\n', 0, 0),
                 line.isEmpty() ? fieldHelp(Field(actions.back().mid(4).toInt() - 1)) : line);
    }

    // The odds tooltip opens as Qt's own tooltips do on hover, and when the
    // keyboard brings the focus to a result; not on a click into it.
    void oddsTooltipOpens_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("chart");
        QTest::addColumn<bool>("text");
        QTest::newRow("hover") << "hover" << int(Field::Text3) << true << false;
        QTest::newRow("Tab") << "Tab" << int(Field::Text3) << true << false;
        QTest::newRow("Shift+Tab") << "Shift+Tab" << int(Field::Text3) << true << false;
        QTest::newRow("shortcut") << "shortcut" << int(Field::Text3) << true << false;
        QTest::newRow("mouse click") << "click" << int(Field::Text3) << false << false;
        QTest::newRow("hover, no odds yet") << "hover" << int(Field::Text6) << false << true;
        QTest::newRow("hover, font too large for the screen")
            << "hover at 60 px" << int(Field::Text3) << true << false;
    }

    void oddsTooltipOpens() {
        QFETCH(QString, how);
        QFETCH(int, result);
        QFETCH(bool, chart);
        QFETCH(bool, text);
        const auto restore =
            qScopeGuard([desktop = QApplication::font()] { QApplication::setFont(desktop); });
        if (how.endsWith("60 px")) {
            QFont large("DejaVu Sans");
            large.setPixelSize(60);
            QApplication::setFont(large);
        }
        type(Field::Text2, "4");
        type(Field::Text4, "12");
        press("Command2");
        QLineEdit* field = form->field(Field(result));
        if (how.startsWith("hover")) {
            QHelpEvent hover(QEvent::ToolTip, QPoint(4, 4), field->mapToGlobal(QPoint(4, 4)));
            QApplication::sendEvent(field, &hover);
        } else if (how == "shortcut") {
            field->setFocus(Qt::ShortcutFocusReason);
        } else if (how == "click") {
            QTest::mouseClick(field, Qt::LeftButton);
        } else {
            QLineEdit* from = form->field(how == "Tab" ? Field::Text2 : Field::Text4);
            from->setFocus();
            QTest::keyClick(from, Qt::Key_Tab, how == "Tab" ? Qt::NoModifier : Qt::ShiftModifier);
        }
        QTest::qWait(20);
        QVERIFY(how.startsWith("hover") || QApplication::focusWidget() == field);
        QCOMPARE(shownTip() != nullptr, chart);
        QCOMPARE(QToolTip::isVisible(), text);
        QCOMPARE(text    ? QToolTip::text()
                 : chart ? shownTip()->text()
                         : field->toolTip(),
                 field->toolTip());
        QToolTip::hideText();
        if (chart) {
            QVERIFY(field->screen()->availableGeometry().contains(shownTip()->geometry()));
            // By keyboard, from the field's left edge, two pixels under or over it.
            const QRect at(field->mapToGlobal(QPoint(0, 0)), field->size());
            const QRect tip = shownTip()->geometry();
            QVERIFY(how.startsWith("hover") ||
                    (tip.left() == at.left() &&
                     (tip.top() == at.bottom() + 3 || tip.bottom() == at.top() - 3)));
            // Long enough to read so many lines: well beyond a short tooltip's 10 s.
            QVERIFY(shownTip()->staysFor() > 11'000);
            // And it goes as a tooltip goes, at a click.
            QTest::mouseClick(form.get(), Qt::LeftButton, {}, QPoint(2, 2));
            QVERIFY(shownTip() == nullptr);
        }
    }

    // The chart tooltip's place: on the screen, whole, clear of the field and
    // the pointer, however small the screen or large the font; when it must
    // shrink, its chart gives way first, then its last lines, then the rest.
    void oddsTooltipFitsTheScreen_data() {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("field");
        QTest::addColumn<QPoint>("pointer");  // (-1, -1): reached by keyboard
        QTest::addColumn<int>("pixels");      // the tooltip font's size
        QTest::addColumn<int>("shots");
        QTest::addColumn<QString>("shrinks");  // nothing, the chart, lines or all
        const QRect hits(160, 120, 81, 19);
        const QRect casualties(160, 312, 81, 19);
        const QPoint keyboard(-1, -1);
        const QRect large(0, 0, 800, 600);  // 1600x1200 at a scale of 2
        QTest::newRow("1600x1200 at 2, Hits")
            << large << hits << QPoint(164, 124) << 12 << 12 << "nothing";
        QTest::newRow("1600x1200 at 2, 1.5 font, Wounds")
            << large << QRect(160, 184, 81, 19) << QPoint(200, 200) << 18 << 100000 << "lines";
        QTest::newRow("window at the bottom")
            << large << casualties.translated(0, 260) << QPoint(170, 575) << 12 << 12 << "nothing";
        QTest::newRow("keyboard, Hits") << large << hits << keyboard << 12 << 12 << "nothing";
        QTest::newRow("lower screen, near its top")
            << QRect(0, 600, 800, 600) << hits.translated(0, 600) << QPoint(164, 724) << 18
            << 100000 << "lines";
        QTest::newRow("keyboard, at the bottom")
            << large << casualties.translated(0, 260) << keyboard << 12 << 1000 << "nothing";
        QTest::newRow("a little short")
            << large << QRect(160, 218, 81, 19) << QPoint(164, 222) << 12 << 12 << "the chart";
        QTest::newRow("right edge")
            << large << QRect(760, 120, 81, 19) << QPoint(790, 130) << 12 << 12 << "nothing";
        QTest::newRow("narrow") << QRect(0, 0, 300, 800) << QRect(100, 120, 81, 19)
                                << QPoint(104, 124) << 12 << 12 << "the chart";
        QTest::newRow("too narrow") << QRect(0, 0, 200, 800) << QRect(100, 120, 81, 19)
                                    << QPoint(104, 124) << 12 << 12 << "all";
        QTest::newRow("second screen") << QRect(800, 0, 1024, 768) << hits.translated(800, 0)
                                       << QPoint(980, 124) << 12 << 12 << "nothing";
        QTest::newRow("800x600 at 2")
            << QRect(0, 0, 400, 300) << hits << QPoint(164, 124) << 12 << 12 << "lines";
        QTest::newRow("800x600 at 2, 1.5 font")
            << QRect(0, 0, 400, 300) << casualties.translated(0, -120) << QPoint(200, 200) << 18
            << 12 << "all";
        QTest::newRow("tiny, large font")
            << QRect(0, 0, 320, 240) << hits << keyboard << 30 << 12 << "all";
    }

    void oddsTooltipFitsTheScreen() {
        QFETCH(QRect, screen);
        QFETCH(QRect, field);
        QFETCH(QPoint, pointer);
        QFETCH(int, pixels);
        QFETCH(int, shots);
        QFETCH(QString, shrinks);
        const auto restore = qScopeGuard([was = QToolTip::font()] { QToolTip::setFont(was); });
        QFont font("DejaVu Sans");
        font.setPixelSize(pixels);
        QToolTip::setFont(font);
        const tarvelin::Odds odds{shots, 0.5};
        const tarvelin::Chances chances = tarvelin::ChancesOf(odds.trials, odds.chance);
        const QString text = oddsHelp(odds, chances.atLeast, ".");
        OddsTip tip(form.get());
        const std::optional<QPoint> hover =
            pointer.x() < 0 ? std::nullopt : std::optional<QPoint>(pointer);
        const QRect place = tip.fit(
            OddsChartPicture(tarvelin::ChartOfOdds(odds, chances), "Hits", font, "."),
            "Out of date: Soft Cover was ticked after Hits.\nHits.\n" + text, field, hover, screen);
        QVERIFY(screen.contains(place));
        QCOMPARE(place.size(), tip.size());
        QVERIFY(!place.intersects(field));
        QVERIFY(!hover || !place.adjusted(0, -16, 0, 0).contains(*hover));
        // From the pointer, or the field's left by keyboard, as far as the screen allows.
        const int from =
            std::min(hover ? hover->x() : field.left(), screen.right() + 1 - tip.width());
        QCOMPARE(place.left(), std::max(screen.left(), from));
        // Two pixels clear of the field, unless below the pointer's arrow.
        const bool below = place.top() > field.bottom();
        const int apart =
            below ? place.top() - field.bottom() - 1 : field.top() - place.bottom() - 1;
        QVERIFY(hover && below ? apart <= 23 : apart == 2);
        // Each way of shrinking only once the one before has gone its whole
        // way, and no further than the room asks.
        const bool cut = tip.shownText() != tip.text();
        QCOMPARE(tip.chartScale() < 1, shrinks != "nothing");
        QCOMPARE(cut, shrinks == "lines" || (shrinks == "all" && tip.width() < screen.width() - 1));
        QCOMPARE(tip.shrink() < 1, shrinks == "all");
        QVERIFY(!cut ||
                (tip.chartScale() == 0.5 && tip.text().startsWith(tip.shownText().chopped(1))));
        const int slack = place.top() > field.bottom() ? screen.bottom() - place.bottom()
                                                       : place.top() - screen.top();
        QVERIFY(shrinks == "nothing" || shrinks == "all" || tip.width() >= screen.width() - 2 ||
                slack < QFontMetrics(font).height());
        if (tip.shrink() == 1) {
            // Whole: the first and the last line written, in the tip's colours,
            // in line with the chart's title while the chart is at full size,
            // and as far from the bottom as the title is from the top.
            const QImage image = tip.grab().toImage();
            const auto first =
                foundAt(image, tip.shownText().section('\n', 0, 0), tip.font(), tip.palette());
            const auto last =
                foundAt(image, tip.shownText().section('\n', -1), tip.font(), tip.palette());
            const auto title = foundAt(image, "Hits", tip.font(), tip.palette());
            const int under = last ? tip.height() - last->y() - QFontMetrics(font).height() : -9;
            QVERIFY(first && last &&
                    (tip.chartScale() < 1 ||
                     (title && title->x() == first->x() && std::abs(under - title->y()) <= 1)));
        }
    }

    // Where the compositor puts the tip (Wayland) with the window at the top
    // or the bottom of the screen: at the point asked for, or flipped to end
    // there when it does not fit below, then slid sideways onto the screen.
    // The tip under its band lies whole beside the field, off the pointer,
    // and below it whenever it fits there.
    void oddsTooltipBesideItsFieldOnWayland_data() {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QString>("where");  // the window is on the screen
        QTest::addColumn<int>("field");
        QTest::addColumn<bool>("hovered");
        QTest::addColumn<int>("pixels");  // the tooltip font's size
        const QRect large(0, 0, 1280, 800);
        const QRect doubled(0, 0, 960, 600);  // 1920x1200 at a scale of 2
        QTest::newRow("top, Hits") << large << "top" << int(Field::Text3) << true << 12;
        QTest::newRow("bottom, Hits") << large << "bottom" << int(Field::Text3) << true << 12;
        QTest::newRow("top, keyboard, Casualties")
            << large << "top" << int(Field::Text9) << false << 12;
        QTest::newRow("bottom, keyboard, Casualties")
            << large << "bottom" << int(Field::Text9) << false << 12;
        QTest::newRow("bottom at 2, Wounds")
            << doubled << "bottom" << int(Field::Text6) << true << 12;
        QTest::newRow("bottom right, 1.5 font, Saves")
            << large << "bottom right" << int(Field::Text8) << true << 18;
    }

    void oddsTooltipBesideItsFieldOnWayland() {
        QFETCH(QRect, screen);
        QFETCH(QString, where);
        QFETCH(int, field);
        QFETCH(bool, hovered);
        QFETCH(int, pixels);
        const auto restore = qScopeGuard([was = QToolTip::font()] { QToolTip::setFont(was); });
        QFont font("DejaVu Sans");
        font.setPixelSize(pixels);
        QToolTip::setFont(font);
        const tarvelin::Odds odds{12, 0.5};
        const tarvelin::Chances chances = tarvelin::ChancesOf(odds.trials, odds.chance);
        const QLineEdit* edit = form->field(Field(field));
        const QRect inWindow(edit->mapTo(form.get(), QPoint(0, 0)), edit->size());
        const std::optional<QPoint> pointer =
            hovered ? std::optional(inWindow.topLeft() + QPoint(20, 9)) : std::nullopt;
        OddsTip tip(form.get(), TipPlacement::ByCompositor);
        const QRect keep = tip.fitAbout(
            OddsChartPicture(tarvelin::ChartOfOdds(odds, chances), "Hits", font, "."),
            "Hits.\n" + oddsHelp(odds, chances.atLeast, "."), inWindow, pointer, screen.size());
        const QPoint window(where.endsWith("right") ? screen.right() + 1 - form->width()
                                                    : screen.center().x() - form->width() / 2,
                            where == "top" ? screen.top() : screen.bottom() + 1 - form->height());
        const QPoint asked = window + keep.topLeft() - QPoint(0, 1);
        QRect surface(asked, tip.size());
        if (surface.bottom() > screen.bottom()) {
            surface.moveBottom(asked.y());
        }
        surface.moveLeft(std::min(surface.left(), screen.right() + 1 - surface.width()));
        const QRect shown = surface.adjusted(0, tip.band(), 0, 0);
        const QRect at = inWindow.translated(window);
        QVERIFY(screen.contains(shown) && !shown.intersects(at));
        const bool below = shown.top() > at.bottom();
        const int apart = below ? shown.top() - at.bottom() - 1 : at.top() - shown.bottom() - 1;
        QVERIFY(pointer && below ? apart >= 2 && apart <= 23 : apart == 2);
        QVERIFY(!pointer || !shown.adjusted(0, -16, 0, 0).contains(*pointer + window));
        QVERIFY(below || at.bottom() + 23 + shown.height() > screen.bottom());
    }

    // The chart as painted: each bar as high as its exact chance, within a
    // pixel, and visibly apart from the background; the tallest where the
    // exact model puts it; the step of "at least" falling from 100 %.
    void chartShowsTheExactOdds_data() {
        QTest::addColumn<QString>("shots");
        QTest::addColumn<int>("result");
        QTest::addColumn<double>("chance");
        QTest::addColumn<QPalette>("palette");
        const QPalette light = QApplication::style()->standardPalette();
        QPalette faint = light;
        faint.setColor(QPalette::Highlight, light.color(QPalette::ToolTipBase).darker(110));
        QTest::newRow("hits") << "12" << int(Field::Text3) << 1.0 / 2 << light;
        QTest::newRow("wounds") << "12" << int(Field::Text6) << 1.0 / 4 << light;
        QTest::newRow("saves") << "12" << int(Field::Text8) << 1.0 / 12 << light;
        QTest::newRow("casualties") << "12" << int(Field::Text9) << 1.0 / 6 << light;
        QTest::newRow("hits from 1,000") << "1000" << int(Field::Text3) << 1.0 / 2 << light;
        QTest::newRow("dark") << "12" << int(Field::Text9) << 1.0 / 6 << darkPalette();
        QTest::newRow("faint highlight") << "12" << int(Field::Text9) << 1.0 / 6 << faint;
    }

    void chartShowsTheExactOdds() {
        QFETCH(QString, shots);
        QFETCH(int, result);
        QFETCH(double, chance);
        QFETCH(QPalette, palette);
        const auto restore =
            qScopeGuard([was = QToolTip::palette()] { QToolTip::setPalette(was); });
        QToolTip::setPalette(palette);
        workedExample(shots);
        form->field(Field(result))->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(shownTip() != nullptr);
        const QImage image = shownTip()->grab().toImage();
        const OddsChartPicture& picture = *shownTip()->chart();
        const QPoint origin = shownTip()->chartOrigin();
        const QRect plot = picture.plot().translated(origin);
        const int bottom = plot.bottom();
        const QRgb background = image.pixel(origin + QPoint(1, 1));
        const QRgb bar = image.pixel(
            picture.barColumns(picture.chart().tallest).translated(origin).center().x(), bottom);
        QCOMPARE(QColor(background), palette.color(QPalette::ToolTipBase));
        QVERIFY2(contrastRatio(QColor(bar), QColor(background)) >= 3, "bars hard to tell apart");
        const QRgb ink = palette.color(QPalette::ToolTipText).rgb();
        std::vector<int> heights;
        std::vector<double> exact;
        int stepAbove = plot.top() - 1;
        for (std::size_t i = 0; i < picture.chart().bars.size(); ++i) {
            const QRect columns = picture.barColumns(i).translated(origin);
            // Three columns, so that a mark through one of them does not count.
            std::array<int, 3> high{};
            for (std::size_t c = 0; c < high.size(); ++c) {
                const int x = columns.left() + 1 + int(c) * (columns.width() - 3) / 2;
                while (image.pixel(x, bottom - high[c]) == bar && high[c] < plot.height()) {
                    ++high[c];
                }
            }
            std::sort(high.begin(), high.end());
            heights.push_back(high[1]);
            const tarvelin::ChartBar& counts = picture.chart().bars[i];
            exact.push_back(chanceOfCounts(shots.toInt(), counts.count, counts.last, chance));
            QVERIFY2(std::abs(heights.back() - exact.back() * plot.height()) <= 1,
                     qPrintable(QString("bar %1: %2 px").arg(i).arg(heights.back())));
            // The step over the bar: the first row, from the top, that is ink
            // across the whole bar.
            const auto across = [&](int y) {
                for (int x = columns.left(); x <= columns.right(); ++x) {
                    if (image.pixel(x, y) != ink) {
                        return false;
                    }
                }
                return true;
            };
            int step = plot.top() - 1;
            while (step <= bottom + 2 && !across(step)) {
                ++step;
            }
            QVERIFY2(step >= stepAbove && step <= bottom + 2, qPrintable(QString::number(i)));
            QVERIFY(i > 0 || step <= plot.top());
            // Between the step above and this one, the drop at their bars'
            // border, and none under this one.
            const int border =
                i > 0 ? (picture.barColumns(i - 1).translated(origin).right() + columns.left()) / 2
                      : 0;
            if (i > 0 && step - stepAbove > 2) {
                QCOMPARE(image.pixel(border, (stepAbove + step) / 2), ink);
            }
            const QRect under(border - origin.x(), step + 2 - origin.y(), 1, 1);
            const auto& labels = picture.labels();
            QVERIFY(i == 0 || step + 2 >= bottom || image.pixel(border, step + 2) != ink ||
                    std::any_of(labels.begin(), labels.end(),
                                [&](const auto& l) { return l.place.intersects(under); }));
            stepAbove = step;
        }
        QCOMPARE(std::max_element(heights.begin(), heights.end()) - heights.begin(),
                 std::max_element(exact.begin(), exact.end()) - exact.begin());
        // The bars in the desktop's highlight wherever it stands out enough.
        const QColor highlight = palette.color(QPalette::Highlight);
        if (contrastRatio(highlight, QColor(background)) >= 3 &&
            contrastRatio(highlight, QColor(ink)) >= 1.5) {
            QCOMPARE(QColor(bar), highlight);
        }
        // A faint line across at each quarter, one pixel high, seen in a
        // gap between bars where no step or label is.
        const auto& labels = picture.labels();
        for (const double quarter : {0.25, 0.5, 0.75, 1.0}) {
            const int y = picture.lineAt(quarter);
            std::size_t i = picture.chart().bars.size();
            const auto clear = [&](std::size_t b) {
                const QRect gap(picture.barColumns(b).left() - 1, y, 1, 2);
                return std::abs(picture.lineAt(picture.chart().bars[b].atLeast) - y) > 2 &&
                       std::none_of(labels.begin(), labels.end(),
                                    [&](const auto& l) { return l.place.intersects(gap); });
            };
            while (--i > 0 && !clear(i)) {
            }
            const QPoint at = origin + QPoint(picture.barColumns(i).left() - 1, y);
            QVERIFY(i > 0 && image.pixel(at) != background && image.pixel(at) != ink);
            QCOMPARE(image.pixel(at + QPoint(0, 1)), background);
        }
        // The axis under the bars (its words' places are the layout's
        // checks), and each key word just after its sign.
        QCOMPARE(image.pixel(plot.center().x(), bottom + 1), ink);
        const QFont font = shownTip()->font();
        const int unit = QFontMetrics(font).height();
        const QImage key = image.copy(0, bottom + 1, image.width(), image.height() - bottom - 1);
        for (const auto& [words, sign] :
             {std::pair{"exactly", bar}, std::pair{"at least", ink}, std::pair{"average", ink}}) {
            const auto at = foundAt(key, words, font, palette);
            QVERIFY2(at, words);
            bool signed_ = false;
            for (int x = at->x() - unit; x < at->x(); ++x) {
                signed_ = signed_ || key.pixel(x, at->y() + unit / 2) == sign;
            }
            QVERIFY2(signed_, words);
        }
        // The average's mark under the bar of a whole average, and only there.
        const double average = shots.toInt() * chance;
        const auto& bars = picture.chart().bars;
        for (std::size_t i = 0; i < bars.size() && picture.chart().step == 1; ++i) {
            const int x = picture.barColumns(i).translated(origin).center().x();
            bool marked = false;
            for (int y = bottom + 2 + unit / 7; y < bottom + unit / 2; ++y) {
                marked = marked || image.pixel(x, y) == ink;
            }
            QCOMPARE(marked, bars[i].count == average);
        }
        // The lines under the chart in the tooltip's colours too.
        const int under = origin.y() + picture.size().height();
        QVERIFY(writtenIn(image.copy(0, under, image.width(), image.height() - under),
                          shownTip()->shownText().section('\n', -1), font, palette));
        shownTip()->hide();
    }

    // The chart's colours over every grey a tooltip may have: the highlight
    // and the pinned oranges wherever they stand out by 3:1, else colours
    // nearer the text than the background, and apart from the text's steps.
    void chartColoursStandOut() {
        // The model against the guidelines' own figure for #777 on white.
        QCOMPARE(std::lround(100 * contrastRatio(QColor(0x77, 0x77, 0x77), Qt::white)), 448L);
        const QColor vermilion(0xd5, 0x5e, 0x00);
        const QColor orange(0xe6, 0x9f, 0x00);
        const QColor highlight(0x30, 0x8c, 0xc6);
        for (int grey = 0; grey < 256; ++grey) {
            const QColor base(grey, grey, grey);
            const QColor ink = grey < 128 ? Qt::white : Qt::black;
            QPalette palette;
            palette.setColor(QPalette::ToolTipBase, base);
            palette.setColor(QPalette::ToolTipText, ink);
            palette.setColor(QPalette::Highlight, highlight);
            const auto standsOut = [&base](const QColor& c) { return contrastRatio(c, base) >= 3; };
            QCOMPARE(OddsChartPicture::pinnedColour(palette), standsOut(vermilion) ? vermilion
                                                              : standsOut(orange)  ? orange
                                                                                   : ink);
            const QColor bars = OddsChartPicture::barColour(palette);
            QCOMPARE(bars == highlight,
                     standsOut(highlight) && contrastRatio(highlight, ink) >= 1.5);
            QVERIFY(contrastRatio(bars, ink) >= 1.5);
            QVERIFY(bars == highlight || contrastRatio(bars, base) > contrastRatio(bars, ink));
            const auto [dark, light] = std::minmax({base.redF(), ink.redF()});
            QVERIFY(bars == highlight || (bars.redF() >= dark && bars.redF() <= light));
        }
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

    // The chart's labels: inside the picture, clear of each other and of the
    // bars, each "at least" label naming its count and touching that step.
    void chartLabelsNameTheirCounts_data() {
        QTest::addColumn<int>("shots");
        QTest::addColumn<double>("chance");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<int>("pinned");  // shots at the same chance drawn beside, if any
        QTest::newRow("worked example's casualties") << 12 << 1.0 / 6 << 12 << 0;
        QTest::newRow("worked example's casualties, large font") << 12 << 1.0 / 6 << 20 << 0;
        QTest::newRow("12 hits, large font") << 12 << 0.5 << 20 << 0;
        QTest::newRow("100,000 casualties, large font") << 100000 << 1.0 / 6 << 20 << 0;
        QTest::newRow("100,000 hits") << 100000 << 0.5 << 12 << 0;
        QTest::newRow("100,000 rare") << 100000 << 0.0001 << 12 << 0;
        QTest::newRow("a sure hit") << 12 << 0.95 << 12 << 0;
        QTest::newRow("casualties of 24 beside 12") << 24 << 1.0 / 6 << 12 << 12;
        QTest::newRow("casualties of 24 beside 12, large font") << 24 << 1.0 / 6 << 20 << 12;
        QTest::newRow("casualties of 12 beside 24") << 12 << 1.0 / 6 << 12 << 24;
        QTest::newRow("1,000 hits beside 12, large font") << 1000 << 0.5 << 20 << 12;
    }

    void chartLabelsNameTheirCounts() {
        QFETCH(int, shots);
        QFETCH(double, chance);
        QFETCH(int, pixels);
        QFETCH(int, pinned);
        QFont font("DejaVu Sans");
        font.setPixelSize(pixels);
        const tarvelin::Odds odds{shots, chance};
        const tarvelin::Chances chances = tarvelin::ChancesOf(shots, chance);
        const tarvelin::ComparedCharts both = tarvelin::CompareCharts(
            odds, chances, {pinned, chance}, tarvelin::ChancesOf(pinned, chance));
        const QString title =
            QString("Hits from %1 shots: average %2").arg(shots).arg(shots * chance);
        const OddsChartPicture picture =
            pinned > 0 ? OddsChartPicture(both.now, title, font, ".", both.pinned)
                       : OddsChartPicture(tarvelin::ChartOfOdds(odds, chances), title, font, ".");
        const tarvelin::OddsChart& chart = picture.chart();
        const auto& labels = picture.labels();
        // The tallest bar's first, named by its count or range, with their chance.
        const tarvelin::ChartBar& mode = chart.bars[chart.tallest];
        const QString named = mode.last > mode.count
                                  ? QString("^%1-%2:").arg(mode.count).arg(mode.last)
                                  : QString("^(exactly |=)%1:").arg(mode.count);
        QVERIFY(!labels.empty() && QRegularExpression(named).match(labels[0].text).hasMatch());
        QVERIFY(std::abs(labels[0].text.section(':', 1).simplified().chopped(2).toDouble() -
                         100 * chanceOfCounts(shots, mode.count, mode.last, chance)) <=
                0.05 + 1e-9);
        const int unit = QFontMetrics(font).height();
        int atLeast = 0;
        for (std::size_t i = 0; i < labels.size(); ++i) {
            const QRect place = labels[i].place;
            for (std::size_t j = 0; j < i; ++j) {
                QVERIFY(!labels[j].place.intersects(place));
            }
            for (std::size_t b = 0; b < chart.bars.size(); ++b) {
                QVERIFY(!picture.barRect(b).intersects(place));
                if (pinned > 0) {
                    // Nor the pinned bars and the pinned "at least" steps.
                    const QRect columns = picture.barColumns(b);
                    const int y = picture.lineAt(picture.pinned()->bars[b].atLeast);
                    QVERIFY(!picture.pinnedBarRect(b).intersects(place));
                    QVERIFY(!QRect(columns.left(), y, columns.width(), 1).intersects(place));
                }
            }
            // Nor the words, nor beside the axis words, where it would read as one.
            QVERIFY(std::none_of(picture.placedTexts().begin(), picture.placedTexts().end(),
                                 [&](const auto& w) { return w.place.intersects(place); }) &&
                    (place.left() >= picture.plot().left() ||
                     place.bottom() < picture.lineAt(1) - unit / 2));
            const QString count = labels[i].text.section(':', 0, 0).remove("at least ");
            const auto bar = std::find_if(chart.bars.begin(), chart.bars.end(), [&](const auto& b) {
                return QString(QChar(0x2265)) + QString::number(b.count) == count ||
                       QString::number(b.count) == count;
            });
            if (bar == chart.bars.end()) {
                // The tallest bar's, named by its count, over it and close.
                const QRect columns = picture.barColumns(chart.tallest);
                const int top = picture.barRect(chart.tallest).top();
                QVERIFY(i == 0 && place.bottom() < top &&
                        place.intersects(QRect(columns.left(), top - unit * 3 / 2, columns.width(),
                                               unit * 3 / 2)));
                continue;
            }
            ++atLeast;
            const QRect columns = picture.barColumns(std::size_t(bar - chart.bars.begin()));
            const int step = picture.lineAt(bar->atLeast);
            QVERIFY(place.left() <= columns.right() + pixels && place.right() >= columns.left());
            QVERIFY(std::abs(place.bottom() - step) <= pixels / 3 ||
                    std::abs(place.top() - step) <= pixels / 3);
        }
        // Beside a pinned chart's dashed steps a label may find no room; the
        // lines under the chart give every value.
        if (pinned == 0) {
            QCOMPARE(atLeast, int(chart.labelled.size()));
        }
        // On its own background, whatever it is painted over.
        QImage image(picture.size(), QImage::Format_RGB32);
        image.fill(Qt::red);
        QPainter painter(&image);
        const QPalette palette = QApplication::style()->standardPalette();
        picture.paint(painter, palette);
        painter.end();
        QCOMPARE(image.pixelColor(0, 0), palette.color(QPalette::ToolTipBase));
        checkLayout(picture, QFontMetrics(font).height());
        if (pinned > 0) {
            checkPinned(image, picture, palette);
        }
        // Clear of the "at least" path: each step's row and its drop at the
        // border with the next bar.
        const int barWidth = picture.barColumns(1).left() - picture.barColumns(0).left();
        for (std::size_t b = 0; b < chart.bars.size(); ++b) {
            const QRect columns = picture.barColumns(b);
            const int step = picture.lineAt(chart.bars[b].atLeast);
            const int next = b + 1 < chart.bars.size() ? picture.lineAt(chart.bars[b + 1].atLeast)
                                                       : picture.plot().bottom();
            const int border = picture.plot().left() + int(b + 1) * barWidth - 1;
            for (const auto& label : labels) {
                QVERIFY(
                    !label.place.intersects(QRect(columns.left(), step - 1, columns.width(), 2)));
                QVERIFY(!label.place.intersects(QRect(border, step, 1, next - step)));
            }
        }
    }

    // Copy Odds puts the table on the clipboard: for the worked example's
    // casualties, B(12, 1/6), each chance as whole numbers give it exactly.
    void copyOddsPutsTheTableOnTheClipboard_data() {
        QTest::addColumn<QString>("separator");
        QTest::addColumn<int>("shots");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("pinned");  // the shots of a pinned volley, or 0
        QTest::newRow("point") << "." << 12 << "Copy Odds" << 0;
        QTest::newRow("comma") << "," << 12 << "Copy Odds" << 0;
        QTest::newRow("as text") << "," << 12 << "Copy Odds as Text" << 0;
        QTest::newRow("100,000 shots") << "." << 100000 << "Copy Odds" << 0;
        QTest::newRow("100,000 shots as text") << "," << 100000 << "Copy Odds as Text" << 0;
        QTest::newRow("24 shots, 12 pinned") << "." << 24 << "Copy Odds" << 12;
        QTest::newRow("12 shots, 24 pinned, as text") << "," << 12 << "Copy Odds as Text" << 24;
        QTest::newRow("1,000 shots, 12 pinned") << "." << 1000 << "Copy Odds" << 12;
    }

    void copyOddsPutsTheTableOnTheClipboard() {
        QFETCH(QString, separator);
        QFETCH(int, shots);
        QFETCH(QString, entry);
        QFETCH(int, pinned);
        form = std::make_unique<Form1>(separator.toStdString());
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        workedExample(QString::number(pinned > 0 ? pinned : shots));
        if (pinned > 0) {
            copyOddsEntry(Field::Text9, "Compare with This")->trigger();
            QApplication::activePopupWidget()->close();
            type(Field::Text4, QString::number(shots));
            for (const char* step : {"Command2", "Command3", "Command4", "Command5"}) {
                press(step);
            }
        }
        QAction* copy = copyOddsEntry(Field::Text9, entry);
        QVERIFY(copy != nullptr && copy->isEnabled());
        // The line edit's own entries stay.
        const QList<QAction*> entries = qobject_cast<QMenu*>(copy->parent())->actions();
        QVERIFY(std::any_of(entries.begin(), entries.end(),
                            [](const QAction* a) { return a->text().startsWith("Select All"); }));
        QApplication::clipboard()->clear();
        copy->trigger();
        QApplication::activePopupWidget()->close();
        QStringList lines = QApplication::clipboard()->text().split('\n');
        const auto heading = [&separator](int n) {
            const double average = n / 6.0;
            return QString(
                       "Casualties of %1 shots, Aimcraft 4 (needed roll 4, "
                       "Moved), To Wound 4, Armour Save 5: average %2")
                .arg(QString::number(n),
                     average == std::round(average)
                         ? QString::number(average)
                         : QString::number(average, 'f', 1).replace('.', separator));
        };
        if (pinned > 0) {
            const auto average = [](int n) { return QString::number(std::round(n / 0.6) / 10); };
            QCOMPARE(lines.takeFirst(), QString("Casualties: %1 shots (%2) against %3 shots (%4)")
                                            .arg(shots)
                                            .arg(average(shots).replace('.', separator))
                                            .arg(pinned)
                                            .arg(average(pinned)));
        }
        QCOMPARE(lines.takeFirst(), heading(shots));
        if (pinned > 0) {
            QCOMPARE(lines.takeFirst(), "Pinned: " + heading(pinned));
        }
        QCOMPARE(lines.takeLast(), QString());
        // The casualties, B(n, 1/6), term by term from logarithms: a model
        // of their own, with the bounds at 0.05 % on each side of either volley.
        struct Model {
            std::vector<double> exactly, atLeast;
        };
        std::vector<Model> models;
        int first = std::numeric_limits<int>::max();
        int last = 0;
        for (const int n : {shots, pinned}) {
            if (n == 0) {
                continue;
            }
            Model& model = models.emplace_back();
            for (int k = 0; k <= n; ++k) {
                model.exactly.push_back(chanceOfCounts(n, k, k, 1.0 / 6));
            }
            model.atLeast.assign(model.exactly.size() + 1, 0.0);
            for (int k = n; k >= 0; --k) {
                model.atLeast[std::size_t(k)] =
                    model.atLeast[std::size_t(k) + 1] + model.exactly[std::size_t(k)];
            }
            // The first count whose chance of at most, then the last whose
            // chance of at least, reaches 0.05 %.
            const auto& at = model.atLeast;
            int k = 0;
            while (1 - at[std::size_t(k) + 1] < 0.0005) {
                ++k;
            }
            first = std::min(first, k);
            while (k < n && at[std::size_t(k) + 1] >= 0.0005) {
                ++k;
            }
            last = std::max(last, k);
        }
        // Past 200 counts a row holds a range, and a line says what rows leave out.
        const bool ranges = last - first + 1 > 200;
        const auto covered = QRegularExpression(R"(^counts (\d+) to (\d+), ([\d.,]+) % of all )"
                                                R"(volleys(?: \(pinned ([\d.,]+) %\))?$)")
                                 .match(lines.front());
        lines.remove(0, covered.hasMatch() ? 1 : 0);
        QVERIFY(lines.size() >= 2 && lines.size() <= 201);
        const QStringList header =
            lines.takeFirst().trimmed().split(QRegularExpression("\\t| {2,}"));
        QStringList columns = ranges ? QStringList{"from", "to"} : QStringList{"count"};
        columns += {"exactly %", "at least %"};
        if (pinned > 0) {
            columns += {"pinned exactly %", "pinned at least %"};
        }
        QCOMPARE(header, columns);
        std::vector<QStringList> rows;
        std::vector<int> ends;  // each row's last count
        for (const QString& line : lines) {
            rows.push_back(line.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts));
            QCOMPARE(rows.back().size(), columns.size());
            ends.push_back(ranges ? rows.back().takeAt(1).toInt() : rows.back()[0].toInt());
        }
        const int step = rows.size() > 1 ? rows[1][0].toInt() - rows[0][0].toInt() : 1;
        QVERIFY(rows.front()[0].toInt() <= first &&
                (ranges || rows.front()[0].toInt() + step > first));
        QVERIFY(ends.back() >= last && (ranges || rows.back()[0].toInt() <= last));
        QCOMPARE(covered.hasMatch(),
                 ranges && (rows.front()[0].toInt() > 0 || ends.back() < std::max(shots, pinned)));
        std::vector<double> sums(models.size());
        const double rounding = ranges ? 0.0005 + 1e-9 : 0.05;
        for (std::size_t row = 0; row < rows.size(); ++row) {
            const int k = rows[row][0].toInt();
            QCOMPARE(k, rows.front()[0].toInt() + int(row) * step);
            QCOMPARE(ends[row], ranges ? std::min(k + step, ends.back() + 1) - 1 : k);
            for (int c = 1; c < rows[row].size(); ++c) {
                bool number = false;
                const double shown =
                    QString(rows[row][c]).replace(separator, ".").toDouble(&number);
                const Model& volley = models[std::size_t(c - 1) / 2];
                const auto& chances = c % 2 == 1 ? volley.exactly : volley.atLeast;
                double model = 0;
                for (int j = k; j <= (c % 2 == 1 ? ends[row] : k); ++j) {
                    model += std::size_t(j) < chances.size() ? 100 * chances[std::size_t(j)] : 0.0;
                }
                sums[std::size_t(c - 1) / 2] += c % 2 == 1 ? shown : 0.0;
                // One decimal (three for ranges), or two significant digits for a small chance.
                QVERIFY2(
                    number && std::abs(shown - model) <= (model < 0.05 ? model / 20 : rounding),
                    qPrintable(lines[qsizetype(row)]));
            }
        }
        // The exactly column adds up to the share the line gives.
        for (std::size_t v = 0; covered.hasMatch() && v < models.size(); ++v) {
            QCOMPARE(covered.captured(1).toInt(), rows.front()[0].toInt());
            QCOMPARE(covered.captured(2).toInt(), ends.back());
            const double share = covered.captured(3 + int(v)).replace(separator, ".").toDouble();
            QVERIFY(std::abs(sums[v] - share) <= 0.1);
        }
    }

    // Compare with This keeps the casualties as they stand, through Clear,
    // until replaced or let go; the lines, the title and the announcement
    // after a step then carry the pinned values, which are checked against
    // the pinned volley's casualties, B(n, 1/6), worked out here.
    void comparingKeepsAResultBeside_data() {
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<int>("pinnedShots");  // 0: nothing pinned
        QTest::addColumn<QString>("spoken");
        const QStringList again{"Text4=24", "Command2", "Command3", "Command4", "Command5"};
        QTest::newRow("pin, 24 shots, steps again")
            << QStringList{"Compare with This"} + again << 12 << "Casualties: 4, pinned 2.";
        QTest::newRow("pin again replaces")
            << QStringList{"Compare with This"} + again + QStringList{"Compare with This"} << 24
            << "Casualties 4 pinned for comparison.";
        QTest::newRow("stop comparing") << QStringList{"Compare with This", "Stop Comparing"} << 0
                                        << "Stopped comparing Casualties.";
        QTest::newRow("stop comparing, steps again")
            << QStringList{"Compare with This", "Stop Comparing"} + again << 0 << "Casualties: 4.";
        QTest::newRow("Clear keeps") << QStringList{"Compare with This", "Command6"} << 12
                                     << "Aimcraft, Shots, To Wound and Armour Save cleared.";
        QTest::newRow("without a pin") << again << 0 << "Casualties: 4.";
    }

    void comparingKeepsAResultBeside() {
        QFETCH(QStringList, actions);
        QFETCH(int, pinnedShots);
        QFETCH(QString, spoken);
        workedExample("12");
        QStringList heard;
        connect(form->findChild<Announcer*>(), &Announcer::said, this,
                [&heard](QWidget* /*speaker*/, const QString& text) { heard << text; });
        for (const QString& action : actions) {
            if (action.startsWith("Text4=")) {
                type(Field::Text4, action.section('=', 1));
            } else if (action.startsWith("Command")) {
                press(qPrintable(action));
            } else {
                QAction* entry = copyOddsEntry(Field::Text9, action);
                QVERIFY(entry != nullptr && entry->isEnabled());
                entry->trigger();
                QApplication::activePopupWidget()->close();
            }
        }
        QTRY_VERIFY(!heard.isEmpty() && heard.back() == spoken);
        QLineEdit* casualties = form->field(Field::Text9);
        const QStringList lines = casualties->accessibleDescription().split('\n');
        QCOMPARE(casualties->toolTip(), casualties->accessibleDescription());
        QCOMPARE(lines.filter("pinned").isEmpty(), pinnedShots == 0);
        if (pinnedShots == 0) {
            QVERIFY(copyOddsEntry(Field::Text9, "Stop Comparing")->isEnabled() == false);
            QApplication::activePopupWidget()->close();
            return;
        }
        QCOMPARE(lines.back(), QString("Pinned: Casualties of %1 shots, Aimcraft 4 (needed roll 4, "
                                       "Moved), To Wound 4, Armour Save 5: average %2")
                                   .arg(pinnedShots)
                                   .arg(pinnedShots / 6));
        const QString pinnedAverage = QString("(pinned %1)").arg(pinnedShots / 6);
        QVERIFY(lines.contains(
            QString("average %1 ").arg(sheetText(*form, Field::Text9).chopped(1)) + pinnedAverage));
        // Each pinned chance against the model's, as a percentage with one decimal.
        const QRegularExpression pinned(
            "^(none|at least (\\d+)): .* \\(pinned (< 0\\.1|[\\d.]+) %\\)$");
        int checked = 0;
        for (const QString& line : lines) {
            const QRegularExpressionMatch match = pinned.match(line);
            if (!match.hasMatch()) {
                continue;
            }
            ++checked;
            const int k = match.captured(2).isEmpty() ? 0 : match.captured(2).toInt();
            const double model =
                100 * chanceOfCounts(pinnedShots, k, match.captured(2).isEmpty() ? 0 : pinnedShots,
                                     1.0 / 6);
            const QString shown = match.captured(3);
            QVERIFY2(shown == "< 0.1" ? model < 0.05 && model > 0
                                      : std::abs(shown.toDouble() - model) <= 0.05 + 1e-9,
                     qPrintable(line));
        }
        QVERIFY(checked >= 8);
        // The tooltip draws both, the pinned bars as outlines, and says so in its title.
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        form->field(Field::Text1)->setFocus();
        casualties->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(shownTip() != nullptr);
        const OddsChartPicture& picture = *shownTip()->chart();
        QVERIFY(picture.pinned().has_value());
        const QImage image = shownTip()->grab().toImage();
        const QPalette palette = shownTip()->palette();
        const QFont font = shownTip()->font();
        const QString averages = lines.filter(pinnedAverage).front();
        const int textTop = shownTip()->chartOrigin().y() + picture.size().height();
        QVERIFY(writtenIn(image.copy(0, textTop, image.width(), 4 * QFontMetrics(font).height()),
                          averages, font, palette));
        const QRect outline =
            picture.pinnedBarRect(picture.pinned()->tallest).translated(shownTip()->chartOrigin());
        // An out-of-date chart, after Clear, is drawn faded, the pin too.
        const bool faded = lines.front().startsWith("Out of date");
        QCOMPARE(QColor(image.pixel(outline.topLeft())) == OddsChartPicture::pinnedColour(palette),
                 !faded);
        shownTip()->hide();
    }

    // A comparison is named by what differs between its two volleys, in the
    // key and in Copy Odds; the pinned field carries a mark until let go.
    void comparisonNamesWhatDiffers_data() {
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("key");
        QTest::newRow("one input")
            << QStringList{"Text7=6"} << "Casualties: Armour Save 6 (2.5) against Armour Save 5 (2)"
            << QStringList{"Armour Save 6:", "Armour Save 5:"};
        QTest::newRow("two inputs")
            << QStringList{"Text4=24", "Text7=6"}
            << "Casualties: 24 shots, Armour Save 6 (5) against 12 shots, Armour Save 5 (2)"
            << QStringList{"24 shots, Armour Save 6:", "12 shots, Armour Save 5:"};
        QTest::newRow("a box") << QStringList{"Check3"}
                               << "Casualties: Moved, Soft Cover (1.3) against Moved (2)"
                               << QStringList{"Moved, Soft Cover:", "Moved:"};
        QTest::newRow("three inputs, the whole volleys")
            << QStringList{"Text4=24", "Text5=3", "Text7=6"}
            << "Casualties: 24 shots, Aimcraft 4 (needed roll 4, Moved), To Wound 3, Armour Save 6 "
               "(6.7) against 12 shots, Aimcraft 4 (needed roll 4, Moved), To Wound 4, Armour "
               "Save 5 (2)"
            << QStringList{"pinned exactly"};
    }

    void comparisonNamesWhatDiffers() {
        QFETCH(QStringList, changes);
        QFETCH(QString, title);
        QFETCH(QStringList, key);
        workedExample("12");
        copyOddsEntry(Field::Text9, "Compare with This")->trigger();
        QApplication::activePopupWidget()->close();
        for (const QString& change : changes) {
            if (change.contains('=')) {
                type(Field(change.mid(4, 1).toInt() - 1), change.section('=', 1));
            } else {
                QTest::mouseClick(form->findChild<QAbstractButton*>(change), Qt::LeftButton);
            }
        }
        form->workOutAllAction()->trigger();
        copyOddsEntry(Field::Text9, "Copy Odds")->trigger();
        QApplication::activePopupWidget()->close();
        QCOMPARE(QApplication::clipboard()->text().section('\n', 0, 0), title);
        QLineEdit* casualties = form->field(Field::Text9);
        const QList<QAction*> marks = casualties->actions();
        QCOMPARE(marks.size(), 1);
        QVERIFY(marks[0]->isVisible() && !marks[0]->icon().isNull());
        QVERIFY(
            marks[0]->toolTip().startsWith("Pinned for comparison: Casualties 2, Casualties "
                                           "of 12 shots"));
        QCOMPARE(casualties->text(), sheetText(*form, Field::Text9));
        QCoreApplication::processEvents();  // the closed menu's hand-back of activation
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        form->field(Field::Text1)->setFocus();
        casualties->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(shownTip() != nullptr);
        QStringList words;
        for (const auto& text : shownTip()->chart()->placedTexts()) {
            words << text.text;
        }
        for (const QString& name : key) {
            QVERIFY2(words.contains(name), qPrintable(words.join('|')));
        }
        shownTip()->hide();
        copyOddsEntry(Field::Text9, "Stop Comparing")->trigger();
        QApplication::activePopupWidget()->close();
        QVERIFY(!marks[0]->isVisible());
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
            QCOMPARE(sheetText(*form, Field::Text4), typed);
        }
        QTest::keyClick(shots, Qt::Key_Backspace);
        QCOMPARE(sheetText(*form, Field::Text4), QString("12."));
        // Undo and redo are the form's: the whole run of typing goes and comes back.
        QTest::keyClick(shots, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(sheetText(*form, Field::Text4), QString());
        QTest::keyClick(shots, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(sheetText(*form, Field::Text4), QString("12."));
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
        QCOMPARE(sheetText(*form, Field::Text2), QString("4"));
        roll->setText(QAccessible::Value, "3");
        QCOMPARE(sheetText(*form, Field::Text2), QString("3"));

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
        form = std::make_unique<Form1>(",");
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
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
    // A screen with room for the form at 24 px, so that only the row meant to
    // outgrow the screen does. Its file lies in the working folder, named
    // relative to it: Qt splits the platform's arguments at ':', which would
    // cut a Windows path after its drive letter.
    const QTemporaryDir dir(QStringLiteral("test_form1-XXXXXX"));
    QFile screens(dir.filePath("screens.json"));
    if (!screens.open(QIODevice::WriteOnly) ||
        screens.write(R"({"screens": [{"name": "test", "x": 0, "y": 0, "width": 1600,)"
                      R"( "height": 1200, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})") <
            0) {
        return 1;
    }
    screens.close();
    const QString config = QDir::current().relativeFilePath(screens.fileName());
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toLocal8Bit());
    QApplication app(argc, argv);
    Form1::installAccessibleRole();
    TestForm1 test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_form1.moc"
