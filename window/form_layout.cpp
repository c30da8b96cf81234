#include "window/form_layout.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <algorithm>
#include <limits>

#include "calc/shooting_tables.h"
#include "window/app_icon.h"
#include "window/failure_message.h"
#include "window/wrapping_check_box.h"

using tarvelin::Field;
using tarvelin::indexOf;

namespace {

// The layout is drawn in twips; at 96 dpi a logical pixel is 15 of them, and
// Qt scales logical pixels on denser screens by itself.
constexpr int kTwipsPerPixel = 15;

constexpr int px(int twips) {
    return twips / kTwipsPerPixel;
}

struct Place {
    int left, top, width, height;  // in twips
    [[nodiscard]] QRect pixels() const { return {px(left), px(top), px(width), px(height)}; }
};

struct LabelRow {
    const char* name;
    const char* caption;
    Place place;
    Qt::Alignment alignment;
};

constexpr Qt::Alignment kCentred = Qt::AlignHCenter | Qt::AlignTop;
constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignTop;

const LabelRow kLabels[] = {
    {"Label1", "Aimcraft", {480, 120, 1215, 255}, kCentred},
    {"Label2", "Shots", {480, 720, 1215, 255}, kCentred},
    {"Label3", "To Wound", {480, 1320, 1215, 255}, kCentred},
    {"Label4", "Armour Save", {480, 1920, 1215, 255}, kCentred},
    {"Label5", "1.", {240, 120, 135, 255}, kLeft},
    {"Label6", "2.", {2160, 120, 135, 255}, kLeft},
    {"Label7", "3.", {240, 2640, 135, 255}, kLeft},
    {"Label8", "4.", {2160, 1200, 135, 255}, kLeft},
};

const Place kFieldPlaces[] = {
    {480, 360, 1215, 285},    // Text1
    {2400, 720, 1215, 285},   // Text2
    {2400, 1800, 1215, 285},  // Text3
    {480, 960, 1215, 285},    // Text4
    {480, 1560, 1215, 285},   // Text5
    {2400, 2760, 1215, 285},  // Text6
    {480, 2160, 1215, 285},   // Text7
    {2400, 3720, 1215, 285},  // Text8
    {2400, 4680, 1215, 285},  // Text9
};

struct ButtonRow {
    const char* name;
    const char* caption;
    Place place;
};

const ButtonRow kButtons[] = {
    {"Command1", "To Hit", {2400, 120, 1215, 495}},
    {"Command2", "Hits", {2400, 1200, 1215, 495}},
    {"Command3", "Wounds", {2400, 2160, 1215, 495}},
    {"Command4", "Saves", {2400, 3120, 1215, 495}},
    {"Command5", "Casualties", {2400, 4080, 1215, 495}},
    {"Command6", "Clear", {2400, 5160, 1215, 495}},
};

const Place kBoxPlaces[] = {
    {360, 2760, 1575, 495}, {360, 3240, 1575, 495}, {360, 3720, 1575, 495},
    {360, 4200, 1575, 495}, {360, 4680, 1575, 495}, {360, 5160, 1575, 495},
};

bool captionsFit(const QWidget& window, const FormWidgets& widgets, const QFontMetrics& metrics) {
    // Buttons and line edits keep a few pixels for their frame and margins.
    constexpr int kMargin = 6;
    const auto boxFits = [&metrics](const QCheckBox* check) {
        return static_cast<const WrappingCheckBox*>(check)->captionFits(metrics);
    };
    const auto buttonFits = [&metrics](const QPushButton* button) {
        return metrics.horizontalAdvance(button->text()) <= button->width() - kMargin;
    };
    const auto labels = window.findChildren<QLabel*>();
    const auto labelFits = [&metrics](const QLabel* label) {
        return metrics.horizontalAdvance(label->text()) <= label->width() &&
               metrics.height() <= label->height();
    };
    return std::all_of(widgets.checks.begin(), widgets.checks.end(), boxFits) &&
           std::all_of(widgets.commands.begin(), widgets.commands.end(), buttonFits) &&
           std::all_of(labels.begin(), labels.end(), labelFits) &&
           metrics.height() + kMargin <= widgets.texts[0]->height();
}

// The layout is fixed, so the font adapts to it: the application font at the
// largest size at which every caption fits its control. Sizes are tried on
// metrics alone, and only the one chosen is set, since setting a font on the
// window lays out every control again.
void fitFont(QWidget& window, const FormWidgets& widgets) {
    constexpr int kLargest = 12;
    constexpr int kSmallest = 8;
    QFont fitted = window.font();
    for (int size = kLargest; size > kSmallest; --size) {
        fitted.setPixelSize(size);
        if (captionsFit(window, widgets, QFontMetrics(fitted))) {
            break;
        }
        fitted.setPixelSize(size - 1);
    }
    window.setFont(fitted);
}

}  // namespace

const QSize kClientArea(px(3870), px(5775));

const std::array<FrameLine, 8> kFrameLines{{
    {px(120), px(5760), px(120), px(0)},       // left edge
    {px(3720), px(0), px(120), px(0)},         // top edge
    {px(3720), px(5760), px(3720), px(0)},     // right edge
    {px(120), px(5760), px(3720), px(5760)},   // bottom edge
    {px(2040), px(2640), px(2040), px(0)},     // column divider, upper part
    {px(2040), px(5760), px(2040), px(2520)},  // column divider, lower part
    {px(120), px(2520), px(2040), px(2520)},   // inputs above the boxes
    {px(2040), px(1080), px(3720), px(1080)},  // To Hit above the results
}};

FormWidgets buildFormWidgets(QWidget& window) {
    FormWidgets widgets;
    window.setWindowTitle("Tarvelin");
    window.setWindowIcon(appIcon());
    window.setFixedSize(kClientArea);

    for (const auto& row : kLabels) {
        auto* label = new QLabel(row.caption, &window);
        label->setObjectName(row.name);
        label->setGeometry(row.place.pixels());
        label->setAlignment(row.alignment);
    }
    for (const Field f : tarvelin::kAllFields) {
        const std::size_t i = indexOf(f);
        auto* edit = new QLineEdit(&window);
        edit->setObjectName(QString("Text%1").arg(i + 1));
        edit->setGeometry(kFieldPlaces[i].pixels());
        edit->setAccessibleName(fieldCaption(f));
        // A field has no length limit; QLineEdit would otherwise stop at 32767.
        edit->setMaxLength(std::numeric_limits<int>::max());
        widgets.texts[i] = edit;
    }
    for (std::size_t i = 0; i < widgets.commands.size(); ++i) {
        auto* button = new QPushButton(kButtons[i].caption, &window);
        button->setObjectName(kButtons[i].name);
        button->setGeometry(kButtons[i].place.pixels());
        button->setFocusPolicy(Qt::StrongFocus);
        button->setAutoDefault(false);
        widgets.commands[i] = button;
    }
    for (const tarvelin::Box b : tarvelin::kAllBoxes) {
        const std::size_t i = indexOf(b);
        auto* check = new WrappingCheckBox(QString::fromUtf8(tarvelin::BoxCaption(b)), &window);
        check->setObjectName(QString("Check%1").arg(i + 1));
        check->setGeometry(kBoxPlaces[i].pixels());
        widgets.checks[i] = check;
    }

    const auto text = [&widgets](Field f) -> QWidget* { return widgets.texts[indexOf(f)]; };
    const auto& c = widgets.commands;
    const auto& b = widgets.checks;
    QWidget* const order[] = {
        text(Field::Text1),
        c[0],
        c[1],
        text(Field::Text2),
        text(Field::Text3),
        text(Field::Text4),
        text(Field::Text5),
        c[2],
        text(Field::Text6),
        c[3],
        text(Field::Text7),
        text(Field::Text8),
        c[4],
        text(Field::Text9),
        c[5],
        b[0],
        b[1],
        b[2],
        b[3],
        b[4],
        b[5],
    };
    for (std::size_t i = 1; i < std::size(order); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }

    fitFont(window, widgets);
    text(Field::Text1)->setFocus();
    return widgets;
}

void paintFrame(QWidget& window) {
    QPainter painter(&window);
    painter.setPen(QPen(window.palette().color(QPalette::WindowText), 0));
    for (const FrameLine& line : kFrameLines) {
        painter.drawLine(line.x1, line.y1, line.x2, line.y2);
    }
}
