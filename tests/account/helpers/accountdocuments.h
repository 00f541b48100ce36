// The account documents as the main page hosts them, for the suites that drive
// them against the scripted server and against the real one.
#pragma once

#include <QByteArray>

inline constexpr int kHoldMs = 400; // the error lines' 3 s, shortened

// The connection page with its log-in cover open, the pop-up as the main page sets it.
inline const QByteArray kCover = R"(import QtQuick 2.15
import "widgets"
ConnectDevice { width: 1000; height: 700
    loginPopupSource: "qrc:/infoWidgets/LoginAndRegister.qml"
    Component.onCompleted: f_showLogin() }
)";

// The account page wired to the password change as the main page wires it.
inline const QByteArray kAccountPage = R"(import QtQuick 2.15
import Account.Manager.UpdatePasswdAccount 1.0
import Operate.Conf.OperateToken 1.0
import "widgets"
SignOutPage { objectName: "page"; width: 1000; height: 700
    property string result: ""
    OperateToken { id: session }
    UpdatePasswdAccount { id: update
        onSigUpdatePwdRet: result = rCode + " " + rMsg }
    onSigUpdatePwd: update.VlUpdatePasswdJson(session.GetEmail(), oldPwd, rePwd)
    onSigError: result = text
    onSigSignInAction: result = action }
)";

// The sync panel, opened, with its results collected as "text|success|downloaded".
inline const QByteArray kSync = R"(import QtQuick 2.15
import "assembly"
Item { width: 1000; height: 700
    property string result: ""
    SyncCover { objectName: "sync"; Component.onCompleted: open()
        onSigSyncResult: result = text + "|" + success + "|" + downloaded } }
)";

