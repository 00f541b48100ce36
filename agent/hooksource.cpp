#include "hooksource.h"

#include "agentconffile.h"
#include "agentlog.h"
#include "appenv.h"
#include "catalogue.h"
#include "controls.h"

#include <QDebug>
#include <QMetaObject>

#include <cstdlib>

using platform::MouseHookButton;
using platform::MouseHookEvent;

namespace {

struct ButtonRoute
{
    int control;
    int pressKey; // the release is the next code
};

// By MouseHookButton: the controls and codes the filter driver gives these buttons.
constexpr std::array<ButtonRoute, 4> kButtons = {{
    {controls::RightKey, 1},
    {controls::MidKey, 3},
    {controls::SideDownKey, 5},
    {controls::SideUpKey, 7},
}};

struct WheelRoute
{
    int control;
    int positiveKey; // away from the user or to the right; the other way is the next code
};

// Wheel, then HorizontalWheel.
constexpr std::array<WheelRoute, 2> kWheels = {{
    {controls::MidWheel, 9},
    {controls::SideWheel, 11},
}};

constexpr int kRefreshMs = 500;

} // namespace

HookRules::Decision HookRules::decide(const MouseHookEvent &event, const std::array<bool, 6> &assigned)
{
    Decision d;
    if (event.injected)
        return d;
    switch (event.kind) {
    case MouseHookEvent::Kind::ButtonDown:
    case MouseHookEvent::Kind::ButtonUp: {
        const std::size_t b = std::size_t(event.button);
        if (b >= kButtons.size())
            return d;
        const ButtonRoute &route = kButtons[b];
        if (event.kind == MouseHookEvent::Kind::ButtonDown) {
            d.swallow = assigned[std::size_t(route.control)];
            m_pressWent[b] = d.swallow ? 1 : -1;
            if (d.swallow)
                d.keys.push_back(route.pressKey);
        } else {
            d.swallow = m_pressWent[b] == 1;
            m_pressWent[b] = 0;
            if (d.swallow)
                d.keys.push_back(route.pressKey + 1);
        }
        return d;
    }
    case MouseHookEvent::Kind::Wheel:
    case MouseHookEvent::Kind::HorizontalWheel: {
        const std::size_t w = event.kind == MouseHookEvent::Kind::Wheel ? 0 : 1;
        const WheelRoute &route = kWheels[w];
        if (!assigned[std::size_t(route.control)] || event.delta == 0) {
            m_partial[w] = 0;
            return d;
        }
        d.swallow = true;
        int &partial = m_partial[w];
        if ((partial > 0) != (event.delta > 0))
            partial = 0; // turned the other way: what was left counts no more
        const long long total = static_cast<long long>(partial) + event.delta;
        const long long notches = std::min<long long>(std::llabs(total) / kNotch, kMaxNotches);
        partial = int(total % kNotch);
        const int key = total > 0 ? route.positiveKey : route.positiveKey + 1;
        d.keys.assign(std::size_t(notches), key);
        return d;
    }
    }
    return d;
}

HookSource::HookSource(platform::MouseHook &hook, QObject *parent) : QObject(parent), m_hook(hook)
{
    m_refresh.setInterval(kRefreshMs);
    connect(&m_refresh, &QTimer::timeout, this, &HookSource::refreshAssignments);
}

HookSource::~HookSource()
{
    stop();
}

std::array<bool, 6> HookSource::assignedControls(agent::OpFunConfFile &settings)
{
    const QString versionClass = appenv::windowsVersionClass();
    std::array<bool, 6> assigned{};
    for (const controls::Control &control : controls::kControls) {
        const auto list = control.isWheel ? catalogue::List::Wheels : catalogue::List::Keys;
        const std::optional<int> index = settings.catalogueIndex(control.number);
        bool isNone = !index;
        if (index) {
            const int canonical = catalogue::canonicalIndex(list, *index, versionClass);
            isNone = canonical == int(catalogue::Key::None) ||
                     (control.isWheel && canonical == int(catalogue::Wheel::None));
        }
        settings.setParameterSet(0);
        assigned[std::size_t(control.number)] =
            !isNone || !settings.combinations(control.number, index).isEmpty() ||
            settings.hasProgramEntries(control.number);
    }
    return assigned;
}

void HookSource::refreshAssignments()
{
    if (!m_settings)
        m_settings = std::make_unique<agent::OpFunConfFile>();
    const std::array<bool, 6> assigned = assignedControls(*m_settings);
    std::uint8_t bits = 0;
    for (std::size_t i = 0; i < assigned.size(); ++i)
        bits |= std::uint8_t(assigned[i] ? 1u << i : 0u);
    if (m_assigned.exchange(bits) != bits)
        qCDebug(lcAgentEvents) << "hook: assigned controls" << Qt::hex << bits;
}

bool HookSource::start()
{
    if (m_hook.isRunning())
        return true;
    refreshAssignments();
    m_rules = HookRules();
    if (!m_hook.start([this](const MouseHookEvent &e) { return filter(e); }))
        return false;
    m_refresh.start();
    return true;
}

void HookSource::stop()
{
    m_refresh.stop();
    m_hook.stop();
    drain(); // what was heard before the hook went still counts
}

bool HookSource::filter(const MouseHookEvent &event)
{
    const std::uint8_t bits = m_assigned.load(std::memory_order_relaxed);
    std::array<bool, 6> assigned{};
    for (std::size_t i = 0; i < assigned.size(); ++i)
        assigned[i] = bits & (1u << i);
    const HookRules::Decision d = m_rules.decide(event, assigned);
    if (!d.keys.empty()) {
        bool wasEmpty;
        {
            std::lock_guard<std::mutex> lock(m_queueMutex);
            wasEmpty = m_queue.empty();
            m_queue.insert(m_queue.end(), d.keys.begin(), d.keys.end());
        }
        if (wasEmpty) // one wake-up per batch; the main thread takes all there is
            QMetaObject::invokeMethod(this, &HookSource::drain, Qt::QueuedConnection);
    }
    return d.swallow;
}

void HookSource::drain()
{
    std::vector<int> keys;
    {
        std::lock_guard<std::mutex> lock(m_queueMutex);
        keys.swap(m_queue);
    }
    for (int key : keys)
        emit mouseClicked(key);
}
