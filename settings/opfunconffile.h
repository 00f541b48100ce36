// The configurator's access to the settings files: the main file and the file of
// the chosen mouse model. Qt Quick type Operate.Conf.OpFunConfFile 1.0.
#pragma once

#include "operateini.h"

#include <QObject>
#include <QString>

class OpFunConfFile : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString GetCurrentMouse READ GetCurrentMouse CONSTANT)
    Q_PROPERTY(QString GetMidKeyVal READ GetMidKeyVal CONSTANT)
    Q_PROPERTY(QString GetRightKeyVal READ GetRightKeyVal CONSTANT)
    Q_PROPERTY(QString GetMidWheelVal READ GetMidWheelVal CONSTANT)
    Q_PROPERTY(QString GetSideDownkeyVal READ GetSideDownkeyVal CONSTANT)
    Q_PROPERTY(QString GetSideUpkeyVal READ GetSideUpkeyVal CONSTANT)
    Q_PROPERTY(QString GetSideWheel READ GetSideWheel CONSTANT)
public:
    // Binds the main file in the application folder; the model file stays unbound
    // until syncMouseIni() or SetCurrentMouse().
    explicit OpFunConfFile(QObject *parent = nullptr);

    Q_INVOKABLE void syncMouseIni();
    Q_INVOKABLE void syncIniToFile();
    Q_INVOKABLE void SetCurrentMouse(const QString &val);

    Q_INVOKABLE void SetMidKeyVal(const QString &val);
    Q_INVOKABLE void SetRightKeyVal(const QString &val);
    Q_INVOKABLE void SetMidWheelVal(const QString &val);
    Q_INVOKABLE void SetSideDownkeyVal(const QString &val);
    Q_INVOKABLE void SetSideUpkeyVal(const QString &val);
    Q_INVOKABLE void SetSideWheel(const QString &val);

    // /PATH/mid_*
    Q_INVOKABLE QString GetMidWebUrl();
    Q_INVOKABLE QString GetMidFilePath();
    Q_INVOKABLE QString GetMidFloderPath();
    Q_INVOKABLE QString GetMidAppPath();
    Q_INVOKABLE QString GetMidSoundPath();
    Q_INVOKABLE QString GetMidMainSpeed();
    Q_INVOKABLE QString GetMidSelfSpeed();
    Q_INVOKABLE void SetMidWebUrl(const QString &url);
    Q_INVOKABLE void SetMidFilePath(const QString &fPath);
    Q_INVOKABLE void SetMidFolderPath(const QString &path);
    Q_INVOKABLE void SetMidAppPath(const QString &app_path);
    Q_INVOKABLE void SetMidSoundPath(const QString &sound_path);
    Q_INVOKABLE void SetMidMainSpeed(const QString &main_speed);
    Q_INVOKABLE void SetMidSelfSpeed(const QString &self_speed);
    // /PATH/right_*
    Q_INVOKABLE QString GetRightWebUrl();
    Q_INVOKABLE QString GetRightFilePath();
    Q_INVOKABLE QString GetRightFloderPath();
    Q_INVOKABLE QString GetRightAppPath();
    Q_INVOKABLE QString GetRightSoundPath();
    Q_INVOKABLE QString GetRightMainSpeed();
    Q_INVOKABLE QString GetRightSelfSpeed();
    Q_INVOKABLE void SetRightWebUrl(const QString &url);
    Q_INVOKABLE void SetRightFilePath(const QString &fPath);
    Q_INVOKABLE void SetRightFolderPath(const QString &path);
    Q_INVOKABLE void SetRightAppPath(const QString &app_path);
    Q_INVOKABLE void SetRightSoundPath(const QString &sound_path);
    Q_INVOKABLE void SetRightMainSpeed(const QString &main_speed);
    Q_INVOKABLE void SetRightSelfSpeed(const QString &self_speed);
    // /PATH/slider_up_*
    Q_INVOKABLE QString GetSliderUpWebUrl();
    Q_INVOKABLE QString GetSliderUpFilePath();
    Q_INVOKABLE QString GetSliderUpFloderPath();
    Q_INVOKABLE QString GetSliderUpAppPath();
    Q_INVOKABLE QString GetSliderUpSoundPath();
    Q_INVOKABLE QString GetSliderUpMainSpeed();
    Q_INVOKABLE QString GetSliderUpSelfSpeed();
    Q_INVOKABLE void SetSliderUpWebUrl(const QString &url);
    Q_INVOKABLE void SetSliderUpFilePath(const QString &fPath);
    Q_INVOKABLE void SetSliderUpFolderPath(const QString &path);
    Q_INVOKABLE void SetSliderUpAppPath(const QString &app_path);
    Q_INVOKABLE void SetSliderUpSoundPath(const QString &sound_path);
    Q_INVOKABLE void SetSliderUpMainSpeed(const QString &main_speed);
    Q_INVOKABLE void SetSliderUpSelfSpeed(const QString &self_speed);
    // /PATH/slider_down_*
    Q_INVOKABLE QString GetSliderDownWebUrl();
    Q_INVOKABLE QString GetSliderDownFilePath();
    Q_INVOKABLE QString GetSliderDownFloderPath();
    Q_INVOKABLE QString GetSliderDownAppPath();
    Q_INVOKABLE QString GetSliderDownSoundPath();
    Q_INVOKABLE QString GetSliderDownMainSpeed();
    Q_INVOKABLE QString GetSliderDownSelfSpeed();
    Q_INVOKABLE void SetSliderDownWebUrl(const QString &url);
    Q_INVOKABLE void SetSliderDownFilePath(const QString &fPath);
    Q_INVOKABLE void SetSliderDownFolderPath(const QString &path);
    Q_INVOKABLE void SetSliderDownAppPath(const QString &app_path);
    Q_INVOKABLE void SetSliderDownSoundPath(const QString &sound_path);
    Q_INVOKABLE void SetSliderDownMainSpeed(const QString &main_speed);
    Q_INVOKABLE void SetSliderDownSelfSpeed(const QString &self_speed);

    Q_INVOKABLE void SetDefault();

    // Read-only properties (read on every access: the pages re-read them).
    // "NULL" when /SET/mouse is absent or not a plain file name.
    QString GetCurrentMouse();
    QString GetMidKeyVal();
    QString GetRightKeyVal();
    QString GetMidWheelVal();
    QString GetSideDownkeyVal();
    QString GetSideUpkeyVal();
    QString GetSideWheel();

    QString versionClass() const { return m_versionClass; }

private:
    QString pathValue(const QString &key);
    void setPathValue(const QString &key, const QString &value);
    QString entryJson(const char *setKey);

    OperateIni m_modelIni{OperateIni::Reader::Configurator};
    OperateIni m_mainIni{OperateIni::Reader::Configurator};
    QString m_versionClass;
};
