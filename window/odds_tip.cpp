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
#include <algorithm>
#include <cmath>

namespace {

constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop;

}  // namespace

OddsTip::OddsTip(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::BypassGraphicsProxyWidget) {
    setObjectName("OddsTip");
    setAttribute(Qt::WA_ShowWithoutActivating);
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
        metrics.boundingRect(QRect(0, 0, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX), kTextFlags, text_);
    const int chartHeight = chart_ ? chart_->size().height() : 0;
    return {origin.x() + metrics.height() / 2, origin.y() + chartHeight, lines.width(),
            lines.height() + metrics.height() / 2};
}

QSize OddsTip::naturalSize() const {
    const QPoint origin = chartOrigin();
    const QRect lines = textArea();
    const int chartWidth = chart_ ? chart_->size().width() : 0;
    return {std::max(origin.x() + chartWidth, lines.right() + 1) + origin.x(),
            lines.bottom() + 1 + origin.y()};
}

void OddsTip::setContent(OddsChartPicture chart, QString text, const QRect& room) {
    setPalette(QToolTip::palette());
    setFont(QToolTip::font());
    chart_.emplace(std::move(chart));
    text_ = std::move(text);
    const QSize natural = naturalSize();
    // Larger than the screen only with a font far too large for it: then the
    // whole tip is drawn smaller rather than cut.
    shrink_ = std::min({1.0, room.width() / static_cast<double>(natural.width()),
                        room.height() / static_cast<double>(natural.height())});
    resize(static_cast<int>(std::floor(natural.width() * shrink_)),
           static_cast<int>(std::floor(natural.height() * shrink_)));
    update();
}

void OddsTip::showFor(QWidget* field, const QPoint& pos, OddsChartPicture chart, QString text) {
    QToolTip::hideText();
    const QScreen* screen = QGuiApplication::screenAt(pos);
    const QRect room = (screen != nullptr ? screen : field->screen())->availableGeometry();
    setContent(std::move(chart), std::move(text), room);
    field_ = field;
    // Where Qt puts a tooltip: below right of the point, or above it when
    // there is no room below; then moved fully onto the screen.
    QPoint at = pos + QPoint(2, 16);
    if (at.y() + height() > room.bottom() + 1) {
        at.ry() = pos.y() - 24 - height();
    }
    at.rx() = std::clamp(at.x(), room.left(), std::max(room.left(), room.right() + 1 - width()));
    at.ry() = std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() + 1 - height()));
    move(at);
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
    painter.scale(shrink_, shrink_);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.rect = QRect(QPoint(), naturalSize());
    style()->drawPrimitive(QStyle::PE_PanelTipLabel, &frame, &painter, this);
    painter.translate(chartOrigin());
    chart_->paint(painter, palette());
    painter.translate(-chartOrigin());
    painter.setPen(palette().color(QPalette::ToolTipText));
    painter.drawText(textArea(), kTextFlags, text_);
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
