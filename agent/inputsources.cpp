#include "inputsources.h"

#include "hooksource.h"
#include "usbdriver.h"

#include <QDebug>

using inputsource::Source;

InputSources::InputSources(USBDriver &driver, HookSource &hook, QObject *parent)
    : QObject(parent), m_driver(driver), m_hook(hook)
{
    m_timer.setInterval(kCheckMs);
    connect(&m_timer, &QTimer::timeout, this, &InputSources::check);
}

void InputSources::start()
{
    if (m_driver.open()) {
        use(Source::Driver);
    } else if (m_hook.start()) {
        use(Source::Hook);
    } else {
        use(Source::Unknown);
    }
    m_timer.start();
}

void InputSources::stop()
{
    m_timer.stop();
    m_hook.stop();
}

void InputSources::check()
{
    if (m_source == Source::Driver) {
        if (m_driver.stillAnswers())
            return;
        qWarning() << "InputSources: the filter driver stopped answering; using the mouse hook";
        m_driver.close();
        use(m_hook.start() ? Source::Hook : Source::Unknown);
        return;
    }
    // The driver first, then the hook goes: a press the driver takes never reaches
    // the hook, so nothing is heard twice.
    if (m_driver.open()) {
        m_hook.stop();
        use(Source::Driver);
    } else if (m_source == Source::Unknown && m_hook.start()) {
        use(Source::Hook);
    }
}

void InputSources::use(Source source)
{
    if (m_said && source == m_source)
        return;
    m_said = true;
    m_source = source;
    qInfo().noquote() << "InputSources: listening"
                      << (source == Source::Driver ? "through the filter driver"
                          : source == Source::Hook ? "through the system's mouse hook"
                                                   : "to nothing: no driver and no mouse hook");
    if (!inputsource::store(source))
        qWarning().noquote() << "InputSources: cannot write" << inputsource::filePath();
}
