#include "agentconffile.h"

#include "appenv.h"
#include "controls.h"

#include <QDebug>

namespace agent {

static const QString kMissing = QStringLiteral("999");

// A name that is no plain file name (edited by hand, "../x") is no model.
static QString plainModel(const QString &stored)
{
    return appenv::isPlainFileName(stored) ? stored : kMissing;
}

OpFunConfFile::OpFunConfFile(QObject *parent) : QObject(parent)
{
    m_mainIni.setSetIniPath(appenv::mainSettingsPath());
    m_model = plainModel(m_mainIni.getValue(QStringLiteral("/SET/mouse")));
    m_modelIni.setSetIniPath(appenv::modelSettingsPath(m_model));
    qDebug() << "new OpFunConfFile";
}

QString OpFunConfFile::currentMouse()
{
    return plainModel(mainValue(QStringLiteral("/SET/mouse")));
}

QString OpFunConfFile::mainValue(const QString &key)
{
    m_mainIni.sync();
    return m_mainIni.getValue(key);
}

void OpFunConfFile::followModel()
{
    const QString model = currentMouse();
    if (model != m_model) {
        m_model = model;
        m_modelIni.setSetIniPath(appenv::modelSettingsPath(model));
    }
}

QString OpFunConfFile::value(const QString &key)
{
    followModel();
    m_modelIni.sync();
    return m_modelIni.getValue(key);
}

std::optional<int> OpFunConfFile::catalogueIndex(int control)
{
    const controls::Control *c = controls::byNumber(control);
    if (!c)
        return std::nullopt;
    const QString entry = value(controls::setKeyPath(*c));
    if (entry == kMissing)
        return std::nullopt;
    return entryIndex(entry);
}

QString OpFunConfFile::pathValue(const QString &prefix, const QString &suffix)
{
    return value(controls::pathKey(prefix, suffix));
}

int entryIndex(const QString &entry)
{
    const QStringList parts = entry.split(QLatin1Char('-'));
    if (parts.size() < 2)
        return 0;
    bool ok = false;
    const int index = parts.at(1).toInt(&ok, 10);
    return ok ? index : 0;
}

} // namespace agent
