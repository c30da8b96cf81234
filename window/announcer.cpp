// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "window/announcer.h"

#include <QAccessible>
#include <QApplication>
#include <QTimer>

#include "window/qt_features.h"

#if !TARVELIN_QT_ANNOUNCEMENTS && defined(TARVELIN_ATSPI_EVENTS)
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>

namespace {

// An accessible object as AT-SPI names it: its bus and its path.
struct ObjectReference {
    QString service;
    QDBusObjectPath path;
};

QDBusArgument& operator<<(QDBusArgument& argument, const ObjectReference& reference) {
    argument.beginStructure();
    argument << reference.service << reference.path;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, ObjectReference& reference) {
    argument.beginStructure();
    argument >> reference.service >> reference.path;
    argument.endStructure();
    return argument;
}

}  // namespace

Q_DECLARE_METATYPE(ObjectReference)

namespace {

// Qt before 6.8 has no announcements, and its AT-SPI bridge sends a changed
// description with the object's own reference where the new text belongs,
// which screen readers cannot speak. So the event is sent here, well formed,
// on the connection that Qt's bridge opened to the accessibility bus, with no
// description changed at all. From Qt 6.8 on, announcements replace this.
void sendAsDescriptionChange(QWidget* speaker, const QString& text) {
    QDBusConnection bus(QStringLiteral("a11y"));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(speaker);
    if (!bus.isConnected() || accessible == nullptr) {
        return;  // no screen reader listens
    }
    static const QMetaType registered = qDBusRegisterMetaType<ObjectReference>();
    Q_UNUSED(registered);
    const QString path = QStringLiteral("/org/a11y/atspi/accessible/") +
                         QString::number(QAccessible::uniqueId(accessible));
    QDBusMessage signal = QDBusMessage::createSignal(
        path, QStringLiteral("org.a11y.atspi.Event.Object"), QStringLiteral("PropertyChange"));
    const ObjectReference application{
        bus.baseService(), QDBusObjectPath(QStringLiteral("/org/a11y/atspi/accessible/root"))};
    signal << QStringLiteral("accessible-description") << 0 << 0
           << QVariant::fromValue(QDBusVariant(text)) << QVariant::fromValue(application);
    bus.send(signal);
}

}  // namespace
#endif

Announcer::Announcer(QWidget* window) : QObject(window), window_(window) {
    // A text said through a description stays only while its control has
    // focus; after that the control explains itself again.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* /*now*/) {
        if (old != nullptr && old == describing_) {
            old->setAccessibleDescription(old->toolTip());
            describing_ = nullptr;
        }
    });
}

void Announcer::say(QWidget* source, const QString& text) {
    QWidget* focused = QApplication::focusWidget();
    QWidget* speaker = focused != nullptr && focused->window() == window_ ? focused : source;
    QTimer::singleShot(0, speaker, [this, speaker, text] { sayNow(speaker, text); });
}

void Announcer::sayNow(QWidget* speaker, const QString& text) {
#if TARVELIN_QT_ANNOUNCEMENTS
    QAccessibleAnnouncementEvent announcement(speaker, text);
    QAccessible::updateAccessibility(&announcement);
#elif defined(TARVELIN_ATSPI_EVENTS)
    sendAsDescriptionChange(speaker, text);
#else
    // Elsewhere a changed description of the focused control is read out.
    if (describing_ != nullptr && describing_ != speaker) {
        describing_->setAccessibleDescription(describing_->toolTip());
    }
    describing_ = speaker;
    if (speaker->accessibleDescription() == text) {
        QAccessibleEvent again(speaker, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&again);
    } else {
        speaker->setAccessibleDescription(text);
    }
#endif
    emit said(speaker, text);
}
