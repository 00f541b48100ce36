// Registration of the account classes as Qt Quick types, version 1.0, each under
// its own module URI. The configurator's start-up calls the three functions at
// their places among its other registrations.
#pragma once

namespace account {

// LoginAccount, RegisterAccount, UpdatePasswdAccount, FindPasswd, ValidatePassword,
// NewPassword, SaveConfigInfo, GetDriverConf, in this order, each as
// "Account.Manager.<class>".
void registerRequestTypes();

// OperateToken as "Operate.Conf.OperateToken".
void registerOperateTokenType();

// GetSoftwareVersion as "Account.Manager.GetSoftwareVersion".
void registerSoftwareVersionType();

} // namespace account
