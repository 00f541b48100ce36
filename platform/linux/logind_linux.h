// Calls to systemd-logind on the system D-Bus (the bus that
// $DBUS_SYSTEM_BUS_ADDRESS names, or the standard one).
#pragma once

#include <QString>
#include <QVariantList>

namespace platform::linuxport {

// Calls `method` of interface org.freedesktop.login1.<interface> on `path` with
// `arguments` and waits for the reply (at most 10 s). False when the bus, logind
// or the call failed, which is logged with logind's error. Main thread.
bool callLogind(const QString &path, const QString &interface, const QString &method,
                const QVariantList &arguments);

// The id of this process's session: $XDG_SESSION_ID, else "auto" (logind's
// name for the caller's session).
QString sessionId();

// The object path of this process's session, or empty (logged) when logind does
// not know it. Main thread.
QString sessionPath();

} // namespace platform::linuxport
