// The box that offers a newer version after the start-up version query: whether it
// shows, and what its buttons do. The main page feeds it the query's result.
// Qt Quick type an.utility.UpdatePrompt 1.0. Main thread only.
#pragma once

#include <QObject>
#include <QString>

class UpdatePrompt : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool shown READ shown NOTIFY changed)
    // The address the server named with the other version (may be empty).
    Q_PROPERTY(QString downloadUrl READ downloadUrl NOTIFY changed)

public:

    explicit UpdatePrompt(QObject *parent = nullptr);

    // Code 0 with anything but "pass" names another version; failures show nothing.
    static bool offersUpdate(int rCode, const QString &rMsg);

    bool shown() const { return m_shown; }
    QString downloadUrl() const { return m_downloadUrl; }

    // The result of GetSoftwareVersion::sigGetSoftwareVer.
    Q_INVOKABLE void versionAnswered(int rCode, const QString &rMsg);
    // The address as the browser gets it when it is an http or https address
    // with a host; otherwise empty.
    static QString webAddress(const QString &address);
    // Hides the box and hands the download address to the user's browser
    // (RulesServices::openUrl) when it is a web address; anything else (a
    // program, a file, an empty text) is logged and not handed on.
    Q_INVOKABLE void confirm();
    // Hides the box.
    Q_INVOKABLE void cancel();

signals:
    void changed();

private:
    bool m_shown = false;
    QString m_downloadUrl;
};
