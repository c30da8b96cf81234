// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "window/odds_tip.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>
#include <QToolTip>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "window/qt_features.h"

namespace {

constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop;
// Below the pointer's arrow too, which hangs about this far below its tip; a
// tooltip that slid under the pointer would close at once.
constexpr int kArrow = 20;
constexpr int kGap = 2;
// The constraint adjustments of a popup, as the xdg-shell protocol numbers them.
constexpr unsigned kSlideX = 1;
constexpr unsigned kFlipY = 8;

}  // namespace

TipPlacement platformPlacement() {
    // A Wayland client is not told where its window is on the screen.
    return QGuiApplication::platformName().startsWith("wayland") ? TipPlacement::ByCompositor
                                                                 : TipPlacement::OnScreen;
}

OddsTip::OddsTip(QWidget* parent, TipPlacement placement)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::BypassGraphicsProxyWidget),
      placement_(placement) {
    setObjectName("OddsTip");
    setAttribute(Qt::WA_ShowWithoutActivating);
    // The band must let the field show through.
    setAttribute(Qt::WA_TranslucentBackground, placement == TipPlacement::ByCompositor);
    setFocusPolicy(Qt::NoFocus);
    expiry_.setSingleShot(true);
    connect(&expiry_, &QTimer::timeout, this, &QWidget::hide);
}

QPoint OddsTip::chartOrigin() const {
    const int frame = 1 + style()->pixelMetric(QStyle::PM_ToolTipLabelFrameWidth, nullptr, this);
    return {frame, frame};
}

QRect OddsTip::textArea() const {
    // In line with the chart's own title, under the chart.
    const QFontMetrics metrics(font());
    const QPoint origin = chartOrigin();
    const QRect lines =
        metrics.boundingRect(QRect(0, 0, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX), kTextFlags, lines_);
    return {origin.x() + metrics.height() / 2, origin.y() + chartSize().height(), lines.width(),
            lines.height() + metrics.height() / 2};
}

QSize OddsTip::chartSize() const {
    const QSize full = chart_ ? chart_->size() : QSize(0, 0);
    return {static_cast<int>(std::ceil(full.width() * chartScale_)),
            static_cast<int>(std::ceil(full.height() * chartScale_))};
}

QSize OddsTip::naturalSize() const {
    const QPoint origin = chartOrigin();
    const QRect lines = textArea();
    return {std::max(origin.x() + chartSize().width(), lines.right() + 1) + origin.x(),
            lines.bottom() + 1 + origin.y()};
}

void OddsTip::setContent(OddsChartPicture chart, QString text, const QSize& room) {
    setPalette(QToolTip::palette());
    setFont(QToolTip::font());
    band_ = 0;
    chart_.emplace(std::move(chart));
    text_ = std::move(text);
    lines_ = text_;
    chartScale_ = 1;
    QSize natural = naturalSize();
    const QSize full = chart_->size();
    if (natural.height() > room.height() || natural.width() > room.width()) {
        const double tall = (room.height() - (natural.height() - full.height())) /
                            static_cast<double>(full.height());
        const double wide =
            (room.width() - 2 * chartOrigin().x()) / static_cast<double>(full.width());
        chartScale_ = std::clamp(std::min(tall, wide), 0.5, 1.0);
        natural = naturalSize();
    }
    // Then the text: its first two lines, why it is faded and what the
    // result is, stay; the odds give way from the least likely counts.
    const QStringList all = text_.split('\n');
    for (qsizetype kept = all.size() - 1; natural.height() > room.height() && kept >= 2; --kept) {
        lines_ = QStringList(all.first(kept)).join('\n') + '\n' + QChar(0x2026);
        natural = naturalSize();
    }
    // Larger than the screen only with a font far too large for it: then the
    // whole tip is drawn smaller rather than cut.
    shrink_ = std::min({1.0, room.width() / static_cast<double>(natural.width()),
                        room.height() / static_cast<double>(natural.height())});
    resize(static_cast<int>(std::floor(natural.width() * shrink_)),
           static_cast<int>(std::floor(natural.height() * shrink_)));
    update();
}

QRect OddsTip::fit(OddsChartPicture chart, QString text, const QRect& field,
                   std::optional<QPoint> pointer, const QRect& room) {
    const int belowTop = std::max(field.bottom() + 1 + kGap, pointer ? pointer->y() + kArrow : 0);
    const int aboveBottom = field.top() - kGap;  // one past the tip's last row
    const int below = std::max(0, room.bottom() + 1 - belowTop);
    const int above = std::max(0, aboveBottom - room.top());
    setContent(chart, text, room.size());
    const bool downwards = height() <= below || (height() > above && below >= above);
    if (height() > (downwards ? below : above)) {
        setContent(std::move(chart), std::move(text),
                   QSize(room.width(), downwards ? below : above));
    }
    const int left = std::clamp(pointer ? pointer->x() : field.left(), room.left(),
                                std::max(room.left(), room.right() + 1 - width()));
    return {QPoint(left, downwards ? belowTop : aboveBottom - height()), size()};
}

QRect OddsTip::fitAbout(OddsChartPicture chart, QString text, const QRect& field,
                        std::optional<QPoint> pointer, const QSize& screen) {
    const int left = pointer ? pointer->x() : field.left();
    const QRect keep(
        QPoint(left, field.top() - kGap),
        QPoint(std::max(left, field.right()),
               std::max(field.bottom() + kGap, pointer ? pointer->y() + kArrow - 1 : 0)));
    // Whatever room is on one side of the field is missing on the other, so
    // a tip within half of the rest fits on one side, band and all.
    const int seeThrough = keep.height() + 1;
    setContent(std::move(chart), std::move(text),
               QSize(screen.width(), (screen.height() - keep.height() - seeThrough) / 2));
    band_ = seeThrough;
    resize(width(), height() + band_);
    return keep;
}

void OddsTip::placeAbout(QWidget* field, std::optional<QPoint> pointer, OddsChartPicture chart,
                         QString text) {
    // A popup that is shown stays where it was first put: it is shown anew.
    hide();
    QWidget* const window = field->window();
    const QRect place(field->mapTo(window, QPoint(0, 0)), field->size());
    const std::optional<QPoint> at =
        pointer ? std::optional(window->mapFromGlobal(*pointer)) : std::nullopt;
    const QRect keep = fitAbout(std::move(chart), std::move(text), place, at,
                                field->screen()->availableGeometry().size());
    // The compositor is told the top left corner, one row above what the tip
    // keeps clear of: the band then covers that, and a tip flipped to end on
    // that row ends just above it.
    move(window->mapToGlobal(keep.topLeft() - QPoint(0, 1)));
    create();
    setMask(QRect(0, band_, width(), height() - band_));
    if constexpr (qt_features::kPopupPositionerHints) {
        // Flipped, or slid sideways, but never slid over the field.
        windowHandle()->setProperty("_q_waylandPopupConstraintAdjustment", kSlideX | kFlipY);
    }
}

void OddsTip::showFor(QWidget* field, std::optional<QPoint> pointer, OddsChartPicture chart,
                      QString text) {
    QToolTip::hideText();
    switch (placement_) {
    case TipPlacement::OnScreen: {
        const QRect place(field->mapToGlobal(QPoint(0, 0)), field->size());
        const QScreen* screen = QGuiApplication::screenAt(pointer.value_or(place.center()));
        const QRect room = (screen != nullptr ? screen : field->screen())->availableGeometry();
        setGeometry(fit(std::move(chart), std::move(text), place, pointer, room));
        break;
    }
    case TipPlacement::ByCompositor:
        placeAbout(field, pointer, std::move(chart), std::move(text));
        break;
    }
    field_ = field;
    qApp->installEventFilter(this);
    show();
    raise();
    // As long as a tooltip of this much text would stay.
    expiry_.start(10'000 + 40 * static_cast<int>(std::max<qsizetype>(0, text_.size() - 100)));
}

void OddsTip::paintEvent(QPaintEvent* /*event*/) {
    if (!chart_) {
        return;
    }
    QPainter painter(this);
    painter.translate(0, band_);
    painter.scale(shrink_, shrink_);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.rect = QRect(QPoint(), naturalSize());
    style()->drawPrimitive(QStyle::PE_PanelTipLabel, &frame, &painter, this);
    painter.save();
    painter.translate(chartOrigin());
    painter.scale(chartScale_, chartScale_);
    chart_->paint(painter, palette(), faded_);
    painter.restore();
    painter.setPen(palette().color(QPalette::ToolTipText));
    painter.drawText(textArea(), kTextFlags, lines_);
}

void OddsTip::hideEvent(QHideEvent* event) {
    qApp->removeEventFilter(this);
    expiry_.stop();
    QWidget::hideEvent(event);
}

bool OddsTip::eventFilter(QObject* watched, QEvent* event) {
    // What hides Qt's own tooltips hides this one too.
    switch (event->type()) {
    case QEvent::Leave:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::Close:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        hide();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
