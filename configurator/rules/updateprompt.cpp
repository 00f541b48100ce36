#include "updateprompt.h"

#include "rulesservices.h"

#include <QDebug>
#include <QUrl>

UpdatePrompt::UpdatePrompt(QObject *parent) : QObject(parent) {}

bool UpdatePrompt::offersUpdate(int rCode, const QString &rMsg)
{
    return rCode == 0 && rMsg != QLatin1String("pass");
}

void UpdatePrompt::versionAnswered(int rCode, const QString &rMsg)
{
    if (!offersUpdate(rCode, rMsg))
        return;
    m_downloadUrl = rMsg;
    m_shown = true;
    emit changed();
}

QString UpdatePrompt::webAddress(const QString &address)
{
    const QUrl url(address.trimmed());
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("https") && scheme != QLatin1String("http")))
        return QString();
    return url.toString(QUrl::FullyEncoded);
}

void UpdatePrompt::confirm()
{
    cancel();
    // The shell opens whatever it is given: a program's name or a file would be
    // started. Only a web address goes on to the browser; an empty one is no
    // address either (the shell would take it as the current folder).
    const QString address = webAddress(m_downloadUrl);
    if (address.isEmpty()) {
        if (!m_downloadUrl.trimmed().isEmpty())
            qWarning() << "update: the server's download address is not a web address; not opened:"
                       << m_downloadUrl.left(200);
        return;
    }
    if (const auto &openUrl = RulesServices::current().openUrl)
        openUrl(address);
}

void UpdatePrompt::cancel()
{
    if (!m_shown)
        return;
    m_shown = false;
    emit changed();
}
