// What the key combination box records: the keys pressed while its field has
// the focus, or a text typed instead, as one combination or a sequence of up
// to eight (keycombination.h), with what is wrong with it.
//
// A press of a modifier alone is remembered with its side, which the native
// scan code tells (the key code on X11 and Wayland, the scan code with its
// extended bit on Windows); the next press of another key completes a step with
// the modifiers held then. Each completed step is added to the text.
#pragma once

#include "keycombination.h"

#include <QObject>
#include <QString>

#include <array>

class KeyRecorder : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text NOTIFY changed)
    Q_PROPERTY(QString problem READ problem NOTIFY changed)
    Q_PROPERTY(bool usable READ usable NOTIFY changed)

public:
    explicit KeyRecorder(QObject *parent = nullptr);

    QString text() const { return m_text; }
    QString problem() const { return m_problem; }
    bool usable() const { return !m_text.isEmpty() && m_problem.isEmpty(); }

    // A key press in the field, as Qt reports it (key, modifiers, native scan
    // code). True when it was taken: a modifier remembered or a step added (or
    // refused, with the problem set); false for a key that names no key of the
    // table.
    Q_INVOKABLE bool keyPressed(int key, int modifiers, quint32 nativeScanCode);
    // A modifier let go: its side is forgotten.
    Q_INVOKABLE void keyReleased(int key);
    // The text typed in instead (or a stored one to start from).
    Q_INVOKABLE void setText(const QString &text);
    Q_INVOKABLE void clear();

    // The key names a Qt key event stands for, or empty (pure, for the tests).
    static QString keyName(int key, int modifiers);

signals:
    void changed();

private:
    void modifierPressed(int key, quint32 nativeScanCode);
    std::array<keycombination::Side, keycombination::kModifierCount> m_sides{};
    QString m_text;
    QString m_problem;
    const bool m_windowsNames;
};
