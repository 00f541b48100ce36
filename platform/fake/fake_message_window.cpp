#include "fake_message_window.h"

#include <algorithm>
#include <mutex>

namespace platform::fake {
namespace {
std::mutex g_mutex;
std::vector<FakeMessageWindow *> &windows()
{
    static std::vector<FakeMessageWindow *> list;
    return list;
}
} // namespace

FakeMessageWindow::~FakeMessageWindow()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    auto &list = windows();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

bool FakeMessageWindow::create(const std::string &title)
{
    if (m_createFails)
        return false;
    if (m_created)
        return true;
    m_title = title;
    m_created = true;
    std::lock_guard<std::mutex> lock(g_mutex);
    windows().push_back(this);
    return true;
}

std::uint32_t FakeMessageWindow::registerUsbInterfaceNotifications()
{
    if (!m_created)
        return 1400; // ERROR_INVALID_WINDOW_HANDLE
    if (m_registerError)
        return m_registerError;
    m_registered = true;
    return 0;
}

void FakeMessageWindow::deliver(const WindowMessage &message)
{
    if (m_onMessage)
        m_onMessage(message);
}

bool FakeMessageWindow::close()
{
    if (m_hung)
        return false;
    WindowMessage m;
    m.message = 0x0010;
    deliver(m);
    if (m_onClose)
        m_onClose();
    return true;
}

FakeMessageWindow *FakeWindowDirectory::find(const std::string &title)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    for (FakeMessageWindow *w : windows())
        if (w->title() == title)
            return w;
    return nullptr;
}

CloseResult FakeWindowDirectory::requestClose(const std::string &title, int timeoutMs)
{
    requests.push_back({title, timeoutMs});
    FakeMessageWindow *w = find(title);
    if (!w)
        return CloseResult::NotFound;
    return w->close() ? CloseResult::Closed : CloseResult::TimedOut;
}

bool FakeWindowDirectory::exists(const std::string &title)
{
    return find(title) != nullptr;
}

} // namespace platform::fake
