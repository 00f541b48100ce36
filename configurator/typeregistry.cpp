#include "typeregistry.h"

#include "checkprocess.h"
#include "myaction.h"
#include "mymenu.h"
#include "myseparator.h"
#include "openbluetooth.h"
#include "opfunconffile.h"
#include "pairdowork.h"
#include "systemtrayicon.h"

#include <QtQml>

namespace {
template <typename T> void registerType(const char *uri, const char *name)
{
    qmlRegisterType<T>(uri, 1, 0, name);
}
} // namespace

const std::vector<QmlTypeEntry> &configuratorTypes()
{
    // The account classes take the places marked below, one line each, for example
    //     {"Account.Manager.LoginAccount", "LoginAccount", &registerType<LoginAccount>},
    static const std::vector<QmlTypeEntry> table = {
        {"Model.QX.CheckProcess", "CheckProcess", &registerType<CheckProcess>},
        {"Model.QX.PairDoWork", "PairDoWork", &registerType<PairDoWork>},
        {"Model.QX.OpenBluetooth", "OpenBluetooth", &registerType<OpenBluetooth>},
        // Account.Manager.LoginAccount, .RegisterAccount, .UpdatePasswdAccount,
        // .FindPasswd, .ValidatePassword, .NewPassword, .SaveConfigInfo, .GetDriverConf
        {"Operate.Conf.OpFunConfFile", "OpFunConfFile", &registerType<OpFunConfFile>},
        // Operate.Conf.OperateToken
        // Account.Manager.GetSoftwareVersion
        {"an.utility", "MyMenu", &registerType<MyMenu>},
        {"an.utility", "MyAction", &registerType<MyAction>},
        {"an.utility", "MySeparator", &registerType<MySeparator>},
        {"an.utility", "SystemTrayIcon", &registerType<SystemTrayIcon>},
    };
    return table;
}

void registerConfiguratorTypes()
{
    for (const QmlTypeEntry &entry : configuratorTypes())
        entry.registerType(entry.uri, entry.name);
}
