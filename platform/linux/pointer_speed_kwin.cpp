// KDE Plasma's pointer speed through KWin's input devices on the session bus:
// every pointer device's pointerAcceleration. KWin applies it at once; Plasma's
// own settings apply theirs again at the next log-in.
#include "pointer_speed_desktops.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QMap>
#include <QStringList>

namespace platform::linuxport {
namespace {

const QString kKWin = QStringLiteral("org.kde.KWin");
const QString kDevices = QStringLiteral("/org/kde/KWin/InputDevice");
const QString kDevice = QStringLiteral("org.kde.KWin.InputDevice");
const QString kAcceleration = QStringLiteral("pointerAcceleration");

QDBusMessage propertyCall(const QString &path, const QString &method, const QVariantList &args)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        kKWin, path, QStringLiteral("org.freedesktop.DBus.Properties"), method);
    call.setArguments(args);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, 3000);
}

// A property's value; invalid when KWin (or the property) is not there.
QVariant property(const QString &path, const QString &interface, const QString &name)
{
    const QDBusMessage reply = propertyCall(path, QStringLiteral("Get"), {interface, name});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().first().value<QDBusVariant>().variant();
}

bool setAcceleration(const QString &name, double value)
{
    return propertyCall(kDevices + QLatin1Char('/') + name, QStringLiteral("Set"),
                        {kDevice, kAcceleration, QVariant::fromValue(QDBusVariant(value))})
               .type() == QDBusMessage::ReplyMessage;
}

QVariant acceleration(const QString &name)
{
    return property(kDevices + QLatin1Char('/') + name, kDevice, kAcceleration);
}

// The pointer devices KWin has now (they come and go with the mice).
QStringList pointers()
{
    QStringList names;
    const QVariant all =
        property(kDevices, QStringLiteral("org.kde.KWin.InputDeviceManager"),
                 QStringLiteral("devicesSysNames"));
    for (const QString &name : all.toStringList())
        if (property(kDevices + QLatin1Char('/') + name, kDevice, QStringLiteral("pointer")).toBool())
            names << name;
    return names;
}

class KWinPointerSpeed : public PointerSpeed
{
public:
    ~KWinPointerSpeed() override
    {
        for (auto it = m_before.cbegin(); it != m_before.cend(); ++it)
            setAcceleration(it.key(), it.value());
    }

    bool setSpeed(int speed) override
    {
        if (speed < kMinPointerSpeed || speed > kMaxPointerSpeed)
            return false;
        bool set = false;
        for (const QString &name : pointers()) {
            const QVariant before = acceleration(name);
            if (!setAcceleration(name, libinputAcceleration(speed)))
                continue;
            if (!m_before.contains(name) && before.isValid())
                m_before.insert(name, before.toDouble());
            set = true;
        }
        return set;
    }

    bool speed(int &out) override
    {
        const QStringList names = pointers();
        const QVariant value = names.isEmpty() ? QVariant() : acceleration(names.first());
        if (!value.isValid())
            return false;
        out = speedOfAcceleration(value.toDouble());
        return true;
    }

private:
    QMap<QString, double> m_before;
};

} // namespace

std::unique_ptr<PointerSpeed> createKWinPointerSpeed()
{
    if (!property(kDevices, QStringLiteral("org.kde.KWin.InputDeviceManager"),
                  QStringLiteral("devicesSysNames"))
             .isValid())
        return nullptr;
    return std::make_unique<KWinPointerSpeed>();
}

} // namespace platform::linuxport
