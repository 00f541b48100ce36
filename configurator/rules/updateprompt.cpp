#include "updateprompt.h"

#include "rulesservices.h"

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

void UpdatePrompt::confirm()
{
    cancel();
    // Nothing to open: the shell would take an empty name as the current folder.
    if (m_downloadUrl.trimmed().isEmpty())
        return;
    if (const auto &openUrl = RulesServices::current().openUrl)
        openUrl(m_downloadUrl);
}

void UpdatePrompt::cancel()
{
    if (!m_shown)
        return;
    m_shown = false;
    emit changed();
}
