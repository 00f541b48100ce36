#include "accounttypes.h"

#include "accountoperations.h"
#include "configsync.h"
#include "getsoftwareversion.h"
#include "loginaccount.h"
#include "operatetoken.h"

#include <QtQml>

namespace account {

void registerRequestTypes()
{
    qmlRegisterType<LoginAccount>("Account.Manager.LoginAccount", 1, 0, "LoginAccount");
    qmlRegisterType<RegisterAccount>("Account.Manager.RegisterAccount", 1, 0, "RegisterAccount");
    qmlRegisterType<UpdatePasswdAccount>("Account.Manager.UpdatePasswdAccount", 1, 0,
                                         "UpdatePasswdAccount");
    qmlRegisterType<FindPasswd>("Account.Manager.FindPasswd", 1, 0, "FindPasswd");
    qmlRegisterType<ValidatePassword>("Account.Manager.ValidatePassword", 1, 0, "ValidatePassword");
    qmlRegisterType<NewPassword>("Account.Manager.NewPassword", 1, 0, "NewPassword");
    qmlRegisterType<SaveConfigInfo>("Account.Manager.SaveConfigInfo", 1, 0, "SaveConfigInfo");
    qmlRegisterType<GetDriverConf>("Account.Manager.GetDriverConf", 1, 0, "GetDriverConf");
}

void registerOperateTokenType()
{
    qmlRegisterType<OperateToken>("Operate.Conf.OperateToken", 1, 0, "OperateToken");
}

void registerSoftwareVersionType()
{
    qmlRegisterType<GetSoftwareVersion>("Account.Manager.GetSoftwareVersion", 1, 0,
                                        "GetSoftwareVersion");
}

} // namespace account
