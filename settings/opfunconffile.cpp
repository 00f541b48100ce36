#include "opfunconffile.h"

#include "appenv.h"
#include "controls.h"

#include <QDebug>

OpFunConfFile::OpFunConfFile(QObject *parent) : QObject(parent)
{
    m_mainIni.setSetIniPath(appenv::mainSettingsPath());
    qDebug() << "new OpFunConfFile";
    m_versionClass = appenv::windowsVersionClass();
}

void OpFunConfFile::syncMouseIni()
{
    m_modelIni.setSetIniPath(appenv::modelSettingsPath(GetCurrentMouse()));
}

void OpFunConfFile::syncIniToFile()
{
    m_modelIni.sync();
}

void OpFunConfFile::SetCurrentMouse(const QString &val)
{
    m_mainIni.setValue(QStringLiteral("/SET/mouse"), val);
    m_mainIni.sync();
    syncMouseIni();
    if (m_modelIni.getValue(QStringLiteral("/SET/isConf"))
            .compare(QLatin1String("Y"), Qt::CaseInsensitive) != 0)
        SetDefault();
}

void OpFunConfFile::SetMidKeyVal(const QString &val)
{
    m_modelIni.setValue(QStringLiteral("/SET/Mid_key"), val);
}

void OpFunConfFile::SetRightKeyVal(const QString &val)
{
    m_modelIni.setValue(QStringLiteral("/SET/Right_key"), val);
}

void OpFunConfFile::SetMidWheelVal(const QString &val)
{
    m_modelIni.setValue(QStringLiteral("/SET/Mid_wheel"), val);
}

void OpFunConfFile::SetSideDownkeyVal(const QString &val)
{
    m_modelIni.setValue(QStringLiteral("/SET/Side_downkey"), val);
}

void OpFunConfFile::SetSideUpkeyVal(const QString &val)
{
    m_modelIni.setValue(QStringLiteral("/SET/Side_upkey"), val);
}

void OpFunConfFile::SetSideWheel(const QString &val)
{
    m_modelIni.setValue(QStringLiteral("/SET/Side_wheel"), val);
}

void OpFunConfFile::SetDefault()
{
    // The order in which the entries are written.
    static const int order[] = {controls::MidKey, controls::MidWheel, controls::RightKey,
                                controls::SideUpKey, controls::SideDownKey, controls::SideWheel};
    for (int number : order) {
        const controls::Control &c = *controls::byNumber(number);
        m_modelIni.setValue(controls::setKeyPath(c), controls::defaultEntry(c, m_versionClass));
    }
    for (const controls::Control &c : controls::kControls) {
        if (c.isWheel)
            continue;
        for (size_t i = 0; i < controls::kPathSuffixes.size(); ++i) {
            const bool speed = int(i) >= controls::kFirstSpeedSuffix;
            m_modelIni.setValue(controls::pathKey(QLatin1String(c.prefix),
                                                  QLatin1String(controls::kPathSuffixes[i])),
                                speed ? QStringLiteral("1") : QStringLiteral("none"));
        }
    }
    m_modelIni.setValue(QStringLiteral("/SET/isConf"), QStringLiteral("Y"));
    m_modelIni.sync();
}

QString OpFunConfFile::GetCurrentMouse()
{
    // A name that is no plain file name (edited by hand, "../x") is no model.
    const QString model = m_mainIni.getValue(QStringLiteral("/SET/mouse"));
    return appenv::isPlainFileName(model) ? model : QStringLiteral("NULL");
}

QString OpFunConfFile::entryJson(const char *setKey)
{
    if (!m_modelIni.isBound())
        return QString();
    return controls::entryToJson(m_modelIni.getValue(QStringLiteral("/SET/") + QLatin1String(setKey)));
}

QString OpFunConfFile::GetMidKeyVal()
{
    return entryJson("Mid_key");
}

QString OpFunConfFile::GetRightKeyVal()
{
    return entryJson("Right_key");
}

QString OpFunConfFile::GetMidWheelVal()
{
    const QString json = entryJson("Mid_wheel");
    qDebug() << "Mid_wheel:" << json;
    return json;
}

QString OpFunConfFile::GetSideDownkeyVal()
{
    return entryJson("Side_downkey");
}

QString OpFunConfFile::GetSideUpkeyVal()
{
    return entryJson("Side_upkey");
}

QString OpFunConfFile::GetSideWheel()
{
    return entryJson("Side_wheel");
}

QString OpFunConfFile::pathValue(const QString &key)
{
    const QString value = m_modelIni.getValue(QStringLiteral("/PATH/") + key);
    if (value.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0)
        return QString();
    return value;
}

void OpFunConfFile::setPathValue(const QString &key, const QString &value)
{
    m_modelIni.setValue(QStringLiteral("/PATH/") + key, value);
}

QString OpFunConfFile::GetMidWebUrl()
{
    return pathValue(QStringLiteral("mid_web_url"));
}

QString OpFunConfFile::GetMidFilePath()
{
    return pathValue(QStringLiteral("mid_file_path"));
}

QString OpFunConfFile::GetMidFloderPath()
{
    return pathValue(QStringLiteral("mid_folder_path"));
}

QString OpFunConfFile::GetMidAppPath()
{
    return pathValue(QStringLiteral("mid_app_path"));
}

QString OpFunConfFile::GetMidSoundPath()
{
    return pathValue(QStringLiteral("mid_sound_path"));
}

QString OpFunConfFile::GetMidMainSpeed()
{
    return pathValue(QStringLiteral("mid_main_speed"));
}

QString OpFunConfFile::GetMidSelfSpeed()
{
    return pathValue(QStringLiteral("mid_self_speed"));
}

void OpFunConfFile::SetMidWebUrl(const QString &url)
{
    setPathValue(QStringLiteral("mid_web_url"), url);
}

void OpFunConfFile::SetMidFilePath(const QString &fPath)
{
    setPathValue(QStringLiteral("mid_file_path"), fPath);
}

void OpFunConfFile::SetMidFolderPath(const QString &path)
{
    setPathValue(QStringLiteral("mid_folder_path"), path);
}

void OpFunConfFile::SetMidAppPath(const QString &app_path)
{
    setPathValue(QStringLiteral("mid_app_path"), app_path);
}

void OpFunConfFile::SetMidSoundPath(const QString &sound_path)
{
    setPathValue(QStringLiteral("mid_sound_path"), sound_path);
}

void OpFunConfFile::SetMidMainSpeed(const QString &main_speed)
{
    setPathValue(QStringLiteral("mid_main_speed"), main_speed);
}

void OpFunConfFile::SetMidSelfSpeed(const QString &self_speed)
{
    setPathValue(QStringLiteral("mid_self_speed"), self_speed);
}

QString OpFunConfFile::GetRightWebUrl()
{
    return pathValue(QStringLiteral("right_web_url"));
}

QString OpFunConfFile::GetRightFilePath()
{
    return pathValue(QStringLiteral("right_file_path"));
}

QString OpFunConfFile::GetRightFloderPath()
{
    return pathValue(QStringLiteral("right_folder_path"));
}

QString OpFunConfFile::GetRightAppPath()
{
    return pathValue(QStringLiteral("right_app_path"));
}

QString OpFunConfFile::GetRightSoundPath()
{
    return pathValue(QStringLiteral("right_sound_path"));
}

QString OpFunConfFile::GetRightMainSpeed()
{
    return pathValue(QStringLiteral("right_main_speed"));
}

QString OpFunConfFile::GetRightSelfSpeed()
{
    return pathValue(QStringLiteral("right_self_speed"));
}

void OpFunConfFile::SetRightWebUrl(const QString &url)
{
    setPathValue(QStringLiteral("right_web_url"), url);
}

void OpFunConfFile::SetRightFilePath(const QString &fPath)
{
    setPathValue(QStringLiteral("right_file_path"), fPath);
}

void OpFunConfFile::SetRightFolderPath(const QString &path)
{
    setPathValue(QStringLiteral("right_folder_path"), path);
}

void OpFunConfFile::SetRightAppPath(const QString &app_path)
{
    setPathValue(QStringLiteral("right_app_path"), app_path);
}

void OpFunConfFile::SetRightSoundPath(const QString &sound_path)
{
    setPathValue(QStringLiteral("right_sound_path"), sound_path);
}

void OpFunConfFile::SetRightMainSpeed(const QString &main_speed)
{
    setPathValue(QStringLiteral("right_main_speed"), main_speed);
}

void OpFunConfFile::SetRightSelfSpeed(const QString &self_speed)
{
    setPathValue(QStringLiteral("right_self_speed"), self_speed);
}

QString OpFunConfFile::GetSliderUpWebUrl()
{
    return pathValue(QStringLiteral("slider_up_web_url"));
}

QString OpFunConfFile::GetSliderUpFilePath()
{
    return pathValue(QStringLiteral("slider_up_file_path"));
}

QString OpFunConfFile::GetSliderUpFloderPath()
{
    return pathValue(QStringLiteral("slider_up_folder_path"));
}

QString OpFunConfFile::GetSliderUpAppPath()
{
    return pathValue(QStringLiteral("slider_up_app_path"));
}

QString OpFunConfFile::GetSliderUpSoundPath()
{
    return pathValue(QStringLiteral("slider_up_sound_path"));
}

QString OpFunConfFile::GetSliderUpMainSpeed()
{
    return pathValue(QStringLiteral("slider_up_main_speed"));
}

QString OpFunConfFile::GetSliderUpSelfSpeed()
{
    return pathValue(QStringLiteral("slider_up_self_speed"));
}

void OpFunConfFile::SetSliderUpWebUrl(const QString &url)
{
    setPathValue(QStringLiteral("slider_up_web_url"), url);
}

void OpFunConfFile::SetSliderUpFilePath(const QString &fPath)
{
    setPathValue(QStringLiteral("slider_up_file_path"), fPath);
}

void OpFunConfFile::SetSliderUpFolderPath(const QString &path)
{
    setPathValue(QStringLiteral("slider_up_folder_path"), path);
}

void OpFunConfFile::SetSliderUpAppPath(const QString &app_path)
{
    setPathValue(QStringLiteral("slider_up_app_path"), app_path);
}

void OpFunConfFile::SetSliderUpSoundPath(const QString &sound_path)
{
    setPathValue(QStringLiteral("slider_up_sound_path"), sound_path);
}

void OpFunConfFile::SetSliderUpMainSpeed(const QString &main_speed)
{
    setPathValue(QStringLiteral("slider_up_main_speed"), main_speed);
}

void OpFunConfFile::SetSliderUpSelfSpeed(const QString &self_speed)
{
    setPathValue(QStringLiteral("slider_up_self_speed"), self_speed);
}

QString OpFunConfFile::GetSliderDownWebUrl()
{
    return pathValue(QStringLiteral("slider_down_web_url"));
}

QString OpFunConfFile::GetSliderDownFilePath()
{
    return pathValue(QStringLiteral("slider_down_file_path"));
}

QString OpFunConfFile::GetSliderDownFloderPath()
{
    return pathValue(QStringLiteral("slider_down_folder_path"));
}

QString OpFunConfFile::GetSliderDownAppPath()
{
    return pathValue(QStringLiteral("slider_down_app_path"));
}

QString OpFunConfFile::GetSliderDownSoundPath()
{
    return pathValue(QStringLiteral("slider_down_sound_path"));
}

QString OpFunConfFile::GetSliderDownMainSpeed()
{
    return pathValue(QStringLiteral("slider_down_main_speed"));
}

QString OpFunConfFile::GetSliderDownSelfSpeed()
{
    return pathValue(QStringLiteral("slider_down_self_speed"));
}

void OpFunConfFile::SetSliderDownWebUrl(const QString &url)
{
    setPathValue(QStringLiteral("slider_down_web_url"), url);
}

void OpFunConfFile::SetSliderDownFilePath(const QString &fPath)
{
    setPathValue(QStringLiteral("slider_down_file_path"), fPath);
}

void OpFunConfFile::SetSliderDownFolderPath(const QString &path)
{
    setPathValue(QStringLiteral("slider_down_folder_path"), path);
}

void OpFunConfFile::SetSliderDownAppPath(const QString &app_path)
{
    setPathValue(QStringLiteral("slider_down_app_path"), app_path);
}

void OpFunConfFile::SetSliderDownSoundPath(const QString &sound_path)
{
    setPathValue(QStringLiteral("slider_down_sound_path"), sound_path);
}

void OpFunConfFile::SetSliderDownMainSpeed(const QString &main_speed)
{
    setPathValue(QStringLiteral("slider_down_main_speed"), main_speed);
}

void OpFunConfFile::SetSliderDownSelfSpeed(const QString &self_speed)
{
    setPathValue(QStringLiteral("slider_down_self_speed"), self_speed);
}
