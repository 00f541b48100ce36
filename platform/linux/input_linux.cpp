// Synthetic input on Linux comes with the later port; until then events are
// dropped after one log line.
#include "input.h"
#include "unavailable.h"

#include <QCursor>
#include <QGuiApplication>
#include <QThread>

namespace platform {
namespace {

class LinuxInputInjector : public InputInjector
{
public:
    void keyEvent(std::uint8_t, std::uint32_t) override
    {
        linuxport::reportUnavailable("synthetic keyboard input");
    }
    void mouseEvent(std::uint32_t, std::int32_t) override
    {
        linuxport::reportUnavailable("synthetic mouse input");
    }
    Point cursorPos() override
    {
        if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
            return {};
        const QPoint p = QCursor::pos();
        return {p.x(), p.y()};
    }
    void pause(int milliseconds) override { QThread::msleep(unsigned(milliseconds)); }
};

} // namespace

std::unique_ptr<InputInjector> createInputInjector()
{
    return std::make_unique<LinuxInputInjector>();
}

} // namespace platform
