// Horizontal scrolling of the window under the mouse cursor.
//
// Programs react to sideways scrolling in very different ways, so each step
// classifies the window under the cursor by its class name and then either posts
// arrow keys to it, posts WM_HSCROLL for the horizontal scroll bar that belongs to
// it, or, when no such bar is found, sends one synthetic horizontal wheel event.
// Nothing is cached between steps. Main thread only.
#pragma once

#include <QObject>

struct AgentPlatform;

class ScrollFunction : public QObject
{
    Q_OBJECT
public:
    // Uses platform.input and platform.windows at each step; the platform must
    // outlive the object.
    explicit ScrollFunction(AgentPlatform &platform, QObject *parent = nullptr);

    // One step to the left / to the right at the current cursor position.
    void ScrollLeft();
    void ScrollRight();

private:
    struct Direction;
    void scroll(const Direction &direction);

    AgentPlatform &m_platform;
};
