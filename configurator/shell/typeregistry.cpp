#include "typeregistry.h"

#include "accountforms.h"
#include "accountoperations.h"
#include "assignmentrules.h"
#include "checkprocess.h"
#include "configsync.h"
#include "getsoftwareversion.h"
#include "keyboarduse.h"
#include "loginaccount.h"
#include "myaction.h"
#include "mymenu.h"
#include "myseparator.h"
#include "openbluetooth.h"
#include "operatetoken.h"
#include "opfunconffile.h"
#include "pagenavigator.h"
#include "pairdowork.h"
#include "palette.h"
#include "programselector.h"
#include "settingsfileactions.h"
#include "settingschanges.h"
#include "settingssaves.h"
#include "systemtrayicon.h"
#include "keyrecorder.h"
#include "updateprompt.h"

#include <QtQml>

namespace {
template <typename T> void registerType(const char *uri, const char *name)
{
    qmlRegisterType<T>(uri, 1, 0, name);
}
} // namespace

const std::vector<QmlTypeEntry> &configuratorTypes()
{
    static const std::vector<QmlTypeEntry> table = {
        {"Model.QX.CheckProcess", "CheckProcess", &registerType<CheckProcess>},
        {"Model.QX.PairDoWork", "PairDoWork", &registerType<PairDoWork>},
        {"Model.QX.OpenBluetooth", "OpenBluetooth", &registerType<OpenBluetooth>},
        {"Account.Manager.LoginAccount", "LoginAccount", &registerType<LoginAccount>},
        {"Account.Manager.RegisterAccount", "RegisterAccount", &registerType<RegisterAccount>},
        {"Account.Manager.UpdatePasswdAccount", "UpdatePasswdAccount",
         &registerType<UpdatePasswdAccount>},
        {"Account.Manager.FindPasswd", "FindPasswd", &registerType<FindPasswd>},
        {"Account.Manager.ValidatePassword", "ValidatePassword", &registerType<ValidatePassword>},
        {"Account.Manager.NewPassword", "NewPassword", &registerType<NewPassword>},
        {"Account.Manager.SaveConfigInfo", "SaveConfigInfo", &registerType<SaveConfigInfo>},
        {"Account.Manager.GetDriverConf", "GetDriverConf", &registerType<GetDriverConf>},
        {"Operate.Conf.OpFunConfFile", "OpFunConfFile", &registerType<OpFunConfFile>},
        {"Operate.Conf.OperateToken", "OperateToken", &registerType<OperateToken>},
        {"Account.Manager.GetSoftwareVersion", "GetSoftwareVersion",
         &registerType<GetSoftwareVersion>},
        {"an.utility", "MyMenu", &registerType<MyMenu>},
        {"an.utility", "MyAction", &registerType<MyAction>},
        {"an.utility", "MySeparator", &registerType<MySeparator>},
        {"an.utility", "SystemTrayIcon", &registerType<SystemTrayIcon>},
        {"an.utility", "PageNavigator", &registerType<PageNavigator>},
        {"an.utility", "AssignmentRules", &registerType<AssignmentRules>},
        {"an.utility", "UpdatePrompt", &registerType<UpdatePrompt>},
        {"an.utility", "KeyRecorder", &registerType<KeyRecorder>},
        {"an.utility", "ProgramSelector", &registerType<ProgramSelector>},
        {"an.utility", "SettingsFileActions", &registerType<SettingsFileActions>},
    };
    return table;
}

void registerConfiguratorTypes()
{
    for (const QmlTypeEntry &entry : configuratorTypes())
        entry.registerType(entry.uri, entry.name);
    registerAccountPageTypes();
    palette::registerPaletteType();
    KeyboardUse::registerType();
    qmlRegisterSingletonType<SettingsSaves>(
        "an.utility", 1, 0, "SettingsSaves", [](QQmlEngine *, QJSEngine *) -> QObject * {
            QQmlEngine::setObjectOwnership(&SettingsSaves::instance(), QQmlEngine::CppOwnership);
            return &SettingsSaves::instance();
        });
    qmlRegisterSingletonType<SettingsChanges>(
        "an.utility", 1, 0, "SettingsChanges", [](QQmlEngine *, QJSEngine *) -> QObject * {
            QQmlEngine::setObjectOwnership(&SettingsChanges::instance(), QQmlEngine::CppOwnership);
            return &SettingsChanges::instance();
        });
}
