#include "settingsfileactions.h"

#include "settingstransfer.h"

namespace {

QVariantMap answer(bool ok, const QString &text)
{
    return {{QStringLiteral("ok"), ok}, {QStringLiteral("text"), text}};
}

} // namespace

QVariantMap SettingsFileActions::exportTo(const QUrl &file) const
{
    const QString problem = settingstransfer::exportTo(file.toLocalFile());
    return problem.isEmpty() ? answer(true, tr("Settings exported")) : answer(false, problem);
}

QVariantMap SettingsFileActions::importFrom(const QUrl &file) const
{
    const settingstransfer::ImportResult result = settingstransfer::importFrom(file.toLocalFile());
    if (!result.applied)
        return answer(false, tr("Nothing was imported: %1").arg(result.problem));
    if (!result.saved) { // in the pages all the same, and written with the next change
        QVariantMap unsaved = answer(false, tr("The imported settings could not be saved"));
        unsaved.insert(QStringLiteral("applied"), true);
        return unsaved;
    }
    if (!result.leftOut.isEmpty())
        return answer(true, tr("Settings imported; left out, from a newer version: %1")
                                .arg(result.leftOut.join(QStringLiteral(", "))));
    return answer(true, tr("Settings imported"));
}
