#include "window/form1.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <algorithm>
#include <limits>

#include "window/app_icon.h"
#include "window/failure_message.h"
#include "window/wrapping_check_box.h"

using tarvelin::Box;
using tarvelin::Field;
using tarvelin::indexOf;

namespace {

// The layout is drawn in twips; at 96 dpi a logical pixel is 15 of them, and
// Qt scales logical pixels on denser screens by itself.
constexpr int kTwipsPerPixel = 15;

struct Place {
    int left, top, width, height;  // in twips
    [[nodiscard]] QRect pixels() const {
        return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
                height / kTwipsPerPixel};
    }
};

struct LabelSpec {
    const char* name;
    const char* caption;
    Place place;
    Qt::Alignment alignment;
};

constexpr Qt::Alignment kCentred = Qt::AlignHCenter | Qt::AlignTop;
constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignTop;

const LabelSpec kLabels[] = {
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

const Place kBoxPlaces[] = {
    {360, 2760, 1575, 495}, {360, 3240, 1575, 495}, {360, 3720, 1575, 495},
    {360, 4200, 1575, 495}, {360, 4680, 1575, 495}, {360, 5160, 1575, 495},
};

struct ButtonSpec {
    const char* name;
    const char* caption;
    Place place;
    void (Form1::*click)();
};

using TextSlot = void (Form1::*)(const QString&);
using BoxSlot = void (Form1::*)(bool);

constexpr QSize kClientArea(3870 / kTwipsPerPixel, 5775 / kTwipsPerPixel);

}  // namespace

const std::array<Form1::Line, 8> Form1::kFrameLines{{
    {120 / kTwipsPerPixel, 5760 / kTwipsPerPixel, 120 / kTwipsPerPixel, 0},    // left edge
    {3720 / kTwipsPerPixel, 0, 120 / kTwipsPerPixel, 0},                       // top edge
    {3720 / kTwipsPerPixel, 5760 / kTwipsPerPixel, 3720 / kTwipsPerPixel, 0},  // right edge
    {120 / kTwipsPerPixel, 5760 / kTwipsPerPixel, 3720 / kTwipsPerPixel, 5760 / kTwipsPerPixel},
    {2040 / kTwipsPerPixel, 2640 / kTwipsPerPixel, 2040 / kTwipsPerPixel, 0},  // column divider
    {2040 / kTwipsPerPixel, 5760 / kTwipsPerPixel, 2040 / kTwipsPerPixel,
     2520 / kTwipsPerPixel},  // its lower part
    {120 / kTwipsPerPixel, 2520 / kTwipsPerPixel, 2040 / kTwipsPerPixel,
     2520 / kTwipsPerPixel},  // inputs above the boxes
    {2040 / kTwipsPerPixel, 1080 / kTwipsPerPixel, 3720 / kTwipsPerPixel,
     1080 / kTwipsPerPixel},  // To Hit above the results
}};

Form1::Form1(std::string separator, QWidget* parent)
    : QWidget(parent), sheet_(*this, std::move(separator)) {
    setObjectName("Form1");
    setWindowTitle("Tarvelin");
    setWindowIcon(appIcon());
    setFixedSize(kClientArea);
    buildControls();
    fitFont();
    texts_[indexOf(Field::Text1)]->setFocus();
}

void Form1::buildControls() {
    for (const auto& spec : kLabels) {
        auto* label = new QLabel(spec.caption, this);
        label->setObjectName(spec.name);
        label->setGeometry(spec.place.pixels());
        label->setAlignment(spec.alignment);
    }

    const TextSlot textSlots[] = {&Form1::Text1_Change, &Form1::Text2_Change, &Form1::Text3_Change,
                                  &Form1::Text4_Change, &Form1::Text5_Change, &Form1::Text6_Change,
                                  &Form1::Text7_Change, &Form1::Text8_Change, &Form1::Text9_Change};
    for (const Field f : tarvelin::kAllFields) {
        const std::size_t i = indexOf(f);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString("Text%1").arg(i + 1));
        edit->setGeometry(kFieldPlaces[i].pixels());
        edit->setAccessibleName(fieldCaption(f));
        // A field has no length limit; QLineEdit would otherwise stop at 32767.
        edit->setMaxLength(std::numeric_limits<int>::max());
        // textChanged, unlike textEdited, also sees undo, redo and edits made
        // through the accessibility interface. The sheet ignores an equal
        // text, so its own writes coming back here are harmless.
        connect(edit, &QLineEdit::textChanged, this, textSlots[i]);
        texts_[i] = edit;
    }

    const ButtonSpec buttons[] = {
        {"Command1", "To Hit", {2400, 120, 1215, 495}, &Form1::Command1_Click},
        {"Command2", "Hits", {2400, 1200, 1215, 495}, &Form1::Command2_Click},
        {"Command3", "Wounds", {2400, 2160, 1215, 495}, &Form1::Command3_Click},
        {"Command4", "Saves", {2400, 3120, 1215, 495}, &Form1::Command4_Click},
        {"Command5", "Casualties", {2400, 4080, 1215, 495}, &Form1::Command5_Click},
        {"Command6", "Clear", {2400, 5160, 1215, 495}, &Form1::Command6_Click},
    };
    std::array<QPushButton*, 6> commands{};
    for (std::size_t i = 0; i < commands.size(); ++i) {
        auto* button = new QPushButton(buttons[i].caption, this);
        button->setObjectName(buttons[i].name);
        button->setGeometry(buttons[i].place.pixels());
        button->setFocusPolicy(Qt::StrongFocus);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, buttons[i].click);
        commands[i] = button;
    }

    const BoxSlot boxSlots[] = {&Form1::Check1_Click, &Form1::Check2_Click, &Form1::Check3_Click,
                                &Form1::Check4_Click, &Form1::Check5_Click, &Form1::Check6_Click};
    for (const Box b : tarvelin::kAllBoxes) {
        const std::size_t i = indexOf(b);
        auto* check = new WrappingCheckBox(QString::fromUtf8(tarvelin::BoxCaption(b)), this);
        check->setObjectName(QString("Check%1").arg(i + 1));
        check->setGeometry(kBoxPlaces[i].pixels());
        // toggled, unlike clicked, also sees the accessibility toggle action.
        connect(check, &QCheckBox::toggled, this, boxSlots[i]);
        checks_[i] = check;
    }

    auto text = [this](Field f) -> QWidget* { return texts_[indexOf(f)]; };
    const QWidget* const order[] = {
        text(Field::Text1), commands[0],        commands[1], text(Field::Text2), text(Field::Text3),
        text(Field::Text4), text(Field::Text5), commands[2], text(Field::Text6), commands[3],
        text(Field::Text7), text(Field::Text8), commands[4], text(Field::Text9), commands[5],
        checks_[0],         checks_[1],         checks_[2],  checks_[3],         checks_[4],
        checks_[5],
    };
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(const_cast<QWidget*>(order[i - 1]), const_cast<QWidget*>(order[i]));
    }
}

bool Form1::captionsFit() const {
    // Buttons and line edits keep a few pixels for their frame and margins.
    constexpr int kMargin = 6;
    const auto boxFits = [](const QCheckBox* check) {
        return static_cast<const WrappingCheckBox*>(check)->captionFits();
    };
    const auto buttonFits = [](const QPushButton* button) {
        return button->fontMetrics().horizontalAdvance(button->text()) <= button->width() - kMargin;
    };
    const auto labelFits = [](const QLabel* label) {
        return label->fontMetrics().horizontalAdvance(label->text()) <= label->width() &&
               label->fontMetrics().height() <= label->height();
    };
    const auto buttons = findChildren<QPushButton*>();
    const auto labels = findChildren<QLabel*>();
    return std::all_of(checks_.begin(), checks_.end(), boxFits) &&
           std::all_of(buttons.begin(), buttons.end(), buttonFits) &&
           std::all_of(labels.begin(), labels.end(), labelFits) &&
           fontMetrics().height() + kMargin <= texts_[0]->height();
}

void Form1::fitFont() {
    // The layout is fixed, so the font adapts to it: the application font at
    // the largest size at which every caption fits its control.
    constexpr int kLargest = 12;
    constexpr int kSmallest = 8;
    QFont fitted = font();
    for (int size = kLargest; size >= kSmallest; --size) {
        fitted.setPixelSize(size);
        setFont(fitted);
        if (captionsFit()) {
            return;
        }
    }
}

QLineEdit* Form1::field(Field field) const {
    return texts_[indexOf(field)];
}
QCheckBox* Form1::box(Box box) const {
    return checks_[indexOf(box)];
}

void Form1::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 0));
    for (const Line& line : kFrameLines) {
        painter.drawLine(line.x1, line.y1, line.x2, line.y2);
    }
}

void Form1::Command1_Click() {
    sheet_.onToHit();
}
void Form1::Command2_Click() {
    sheet_.onHits();
}
void Form1::Command3_Click() {
    sheet_.onWounds();
}
void Form1::Command4_Click() {
    sheet_.onSaves();
}
void Form1::Command5_Click() {
    sheet_.onCasualties();
}
void Form1::Command6_Click() {
    sheet_.onClear();
}

void Form1::Check1_Click(bool ticked) {
    sheet_.setBox(Box::Check1, ticked);
}
void Form1::Check2_Click(bool ticked) {
    sheet_.setBox(Box::Check2, ticked);
}
void Form1::Check3_Click(bool ticked) {
    sheet_.setBox(Box::Check3, ticked);
}
void Form1::Check4_Click(bool ticked) {
    sheet_.setBox(Box::Check4, ticked);
}
void Form1::Check5_Click(bool ticked) {
    sheet_.setBox(Box::Check5, ticked);
}
void Form1::Check6_Click(bool ticked) {
    sheet_.setBox(Box::Check6, ticked);
}

void Form1::Text1_Change(const QString& text) {
    sheet_.setText(Field::Text1, text.toStdString());
}
void Form1::Text2_Change(const QString& text) {
    sheet_.setText(Field::Text2, text.toStdString());
}
void Form1::Text3_Change(const QString& text) {
    sheet_.setText(Field::Text3, text.toStdString());
}
void Form1::Text4_Change(const QString& text) {
    sheet_.setText(Field::Text4, text.toStdString());
}
void Form1::Text5_Change(const QString& text) {
    sheet_.setText(Field::Text5, text.toStdString());
}
void Form1::Text6_Change(const QString& text) {
    sheet_.setText(Field::Text6, text.toStdString());
}
void Form1::Text7_Change(const QString& text) {
    sheet_.setText(Field::Text7, text.toStdString());
}
void Form1::Text8_Change(const QString& text) {
    sheet_.setText(Field::Text8, text.toStdString());
}
void Form1::Text9_Change(const QString& text) {
    sheet_.setText(Field::Text9, text.toStdString());
}

void Form1::textChanged(Field field, const std::string& text) {
    QLineEdit* edit = texts_[indexOf(field)];
    const QString shown = QString::fromStdString(text);
    // Setting an equal text would still move the cursor and wipe the undo
    // history of the field the user is typing in.
    if (edit->text() != shown) {
        edit->setText(shown);
    }
}

void Form1::boxChanged(Box box, bool ticked) {
    checks_[indexOf(box)]->setChecked(ticked);
}

void Form1::failed(const tarvelin::SheetFailure& failure) {
    QLineEdit* culprit = texts_[indexOf(failure.field)];
    const QString text = failureMessage(failure, culprit->text(), sheet_.separator());
    if (message_ != nullptr) {
        message_->close();
    }
    // open(), not exec(): the action that failed has ended, and a nested
    // event loop here would let the next event run inside it.
    auto* dialog = new QMessageBox(QMessageBox::Warning, "Tarvelin", text, QMessageBox::Ok, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, culprit, [this, culprit] {
        activateWindow();
        culprit->setFocus(Qt::OtherFocusReason);
        culprit->selectAll();
    });
    message_ = dialog;
    dialog->open();
}
