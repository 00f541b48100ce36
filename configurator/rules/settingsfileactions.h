// "Export settings..." and "Import settings..." of the tray menu: the settings to
// a file and back (settingstransfer), with what the information box says.
// Qt Quick type an.utility.SettingsFileActions 1.0. Main thread only.
#pragma once

#include <QObject>
#include <QUrl>
#include <QVariantMap>

class SettingsFileActions : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    // {"ok": bool, "text": what to tell the user}; an import the disk did not
    // take whole also says "applied": true (the pages show what it brought).
    Q_INVOKABLE QVariantMap exportTo(const QUrl &file) const;
    Q_INVOKABLE QVariantMap importFrom(const QUrl &file) const;
};
