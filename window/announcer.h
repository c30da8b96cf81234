// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// Says a short text to a screen reader without moving the focus: what a step
// just did. It goes out once the event that caused it has ended, after what Qt
// itself reports of that event (a box's new state, say), and as an event of
// the control that has the focus, since that is what screen readers listen to.
// What to say, and when, is the window's.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

class Announcer : public QObject {
    Q_OBJECT

public:
    // window: whose focused control speaks.
    explicit Announcer(QWidget* window);

    // source: the control that speaks when focus is outside the window.
    void say(QWidget* source, const QString& text);

signals:
    // After the text went out, for whoever keeps a record of what was said.
    void said(QWidget* speaker, const QString& text);

private:
    void sayNow(QWidget* speaker, const QString& text);

    QWidget* window_;
    // Only where a changed description has to carry the text: the control
    // that carries it now, which explains itself again when focus moves on.
    QPointer<QWidget> describing_;
};
