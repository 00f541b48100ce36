// sway's pointer speed through its IPC socket ($SWAYSOCK, i3's protocol: "i3-ipc",
// the payload's length and the message type, each in the machine's byte order,
// then the payload): "input type:pointer pointer_accel <value>" for every
// pointer, read back from the pointers' libinput settings (GET_INPUTS). sway
// keeps it until it is reloaded; its configuration file applies again then.
#include "pointer_speed_desktops.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QString>

#include <cstdint>
#include <cstring>
#include <optional>

namespace platform::linuxport {
namespace {

constexpr std::uint32_t kRunCommand = 0;
constexpr std::uint32_t kGetInputs = 100;
constexpr int kTimeoutMs = 1000;
constexpr char kMagic[] = "i3-ipc";
constexpr std::size_t kHeader = sizeof kMagic - 1 + 2 * sizeof(std::uint32_t);
constexpr std::uint32_t kMaxReply = 4u << 20;

// The reply to one message; null on any failure.
QJsonDocument ask(const QString &path, std::uint32_t type, const QByteArray &payload)
{
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(kTimeoutMs))
        return {};
    QByteArray message(kMagic);
    const std::uint32_t header[2] = {std::uint32_t(payload.size()), type};
    message.append(reinterpret_cast<const char *>(header), sizeof header);
    message.append(payload);
    socket.write(message);
    QByteArray reply;
    std::uint32_t length = 0;
    while (reply.size() < int(kHeader) || std::size_t(reply.size()) < kHeader + length) {
        if (!socket.waitForReadyRead(kTimeoutMs))
            return {};
        reply.append(socket.readAll());
        if (reply.size() >= int(kHeader)) {
            std::memcpy(&length, reply.constData() + sizeof kMagic - 1, sizeof length);
            if (!reply.startsWith(kMagic) || length > kMaxReply)
                return {};
        }
    }
    return QJsonDocument::fromJson(reply.mid(int(kHeader), int(length)));
}

// The libinput acceleration of the first pointer; none without a pointer.
std::optional<double> pointerAcceleration(const QString &path)
{
    for (const QJsonValue input : ask(path, kGetInputs, {}).array()) {
        const QJsonObject o = input.toObject();
        const QJsonValue accel = o.value(QLatin1String("libinput"))
                                     .toObject()
                                     .value(QLatin1String("accel_speed"));
        if (o.value(QLatin1String("type")).toString() == QLatin1String("pointer") &&
            accel.isDouble())
            return accel.toDouble();
    }
    return std::nullopt;
}

bool setPointerAcceleration(const QString &path, double value)
{
    const QByteArray command =
        "input type:pointer pointer_accel " + QByteArray::number(value, 'f', 3);
    const QJsonArray results = ask(path, kRunCommand, command).array();
    return !results.isEmpty() &&
           results.first().toObject().value(QLatin1String("success")).toBool();
}

} // namespace

std::unique_ptr<PointerSpeed> createSwayPointerSpeed()
{
    const QString socket = qEnvironmentVariable("SWAYSOCK");
    if (socket.isEmpty() || ask(socket, kGetInputs, {}).isNull())
        return nullptr;
    return std::make_unique<AccelerationSetting>(
        [socket] { return pointerAcceleration(socket); },
        [socket](double value) { return setPointerAcceleration(socket, value); });
}

} // namespace platform::linuxport
