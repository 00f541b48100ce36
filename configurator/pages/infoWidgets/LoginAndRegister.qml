// The log-in pop-up: the Login and Register tabs and the password recovery pages.
// It owns the request objects of these pages and keeps the verification code last
// sent (correctCode). sigSignState("sign_in", nickname) after a log-in;
// sigResetPwdSuccess(text) once a new password is set, with the server's note.
import QtQuick 2.15
import an.utility 1.0
import "../assembly"
import "../assembly/focus.js" as Focus
import QtQuick.Controls 2.15
import Account.Manager.LoginAccount 1.0
import Account.Manager.RegisterAccount 1.0
import Account.Manager.FindPasswd 1.0
import Account.Manager.ValidatePassword 1.0
import Account.Manager.NewPassword 1.0
import Operate.Conf.OperateToken 1.0

Rectangle {
    id: popup
    objectName: "popup"
    width: 400
    height: 344
    radius: 6
    color: "white"

    // "login", "register", "forget", "verify" or "reset"
    property string page: "login"
    property bool unrecvShown: false
    property string correctCode: ""

    signal sigSignState(string code, string text)
    signal sigResetPwdSuccess(string text)

    // The keyboard goes to the first field of each page shown, and Tab stays in
    // the pop-up.
    function focusPage() {
        Focus.firstField({"login": loginPage, "register": registerPage, "forget": forgetPage,
                     "verify": verifyPage, "reset": resetPage}[page])
    }
    onPageChanged: Qt.callLater(focusPage)
    // The address last used here is filled in (after a sign-out, or a session the
    // server ended), so the keyboard starts in the password field.
    Component.onCompleted: {
        var last = operateToken.GetEmail()
        if (last !== "NULL")
            loginPage.setMailbox(last)
        Qt.callLater(focusPage)
    }
    readonly property bool keepsKeyboard: true // Tab goes round it
    Accessible.role: Accessible.Dialog
    Accessible.name: qsTr("Login/Register")

    function onLoginRet(code, text) {
        if (code === 0)
            sigSignState("sign_in", text)
        loginPage.showError(text)
    }

    MouseArea { // clicks on the pop-up stay in it
        anchors.fill: parent
    }

    OperateToken { id: operateToken }
    LoginAccount {
        id: loginAccount
        Component.onCompleted: sigLoginRet.connect(popup.onLoginRet)
    }
    RegisterAccount {
        id: registerAccount
        onSigRegisterRet: registerPage.showResult(rCode, rMsg)
    }
    FindPasswd {
        id: findPasswd
        onSigFindPwdRet: {
            if (rCode === 0)
                popup.page = "verify"
            else
                forgetPage.showError(rMsg)
        }
    }
    ValidatePassword {
        id: validatePassword
        onSigValidateCodeRet: {
            if (rCode === 0)
                popup.page = "reset"
            else
                verifyPage.showError(rMsg)
        }
    }
    NewPassword {
        id: newPassword
        onSigAlterPwdRet: {
            if (rCode === 0)
                popup.sigResetPwdSuccess(rMsg !== "" ? rMsg : qsTr("Password reset, please log in"))
            else
                resetPage.showError(rMsg)
        }
    }

    Row {
        id: tabs
        visible: popup.page === "login" || popup.page === "register"
        Repeater {
            model: [{ page: "login", label: qsTr("Login") },
                { page: "register", label: qsTr("Register") }]
            Rectangle {
                objectName: modelData.page + "Tab"
                width: 200
                height: 56
                radius: 6
                color: popup.page === modelData.page ? Palette.tabSelected : "white"
                Text {
                    anchors.centerIn: parent
                    text: modelData.label
                    font.pixelSize: 17
                    font.bold: popup.page === modelData.page
                    color: popup.page === modelData.page ? Palette.link : Palette.formMuted
                }
                Rectangle {
                    visible: popup.page === modelData.page
                    anchors.bottom: parent.bottom
                    width: parent.width
                    height: 2
                    color: Palette.link
                }
                ClickArea {
                    anchors.fill: parent
                    hoverEnabled: false
                    role: Accessible.PageTab
                    name: modelData.label
                    checked: popup.page === modelData.page
                    onClicked: popup.page = modelData.page
                }
            }
        }
    }

    Login {
        id: loginPage
        objectName: "login"
        y: 56
        visible: popup.page === "login"
        onSigLoginClicked: loginAccount.VlPostLoginJson(account, password)
        onSigForgetPasswd: { // the address typed (or filled in) comes along
            forgetPage.setMailbox(loginPage.mailboxText)
            popup.page = "forget"
        }
    }
    Register {
        id: registerPage
        objectName: "register"
        y: 56
        visible: popup.page === "register"
        onSigRegisterAccountData: registerAccount.VlPostRegisiterJson(nickname, email, password,
                                                                      rePassword)
        onSigRegistered: {
            loginPage.setMailbox(email)
            popup.page = "login"
        }
    }
    ForgetPasswd {
        id: forgetPage
        objectName: "forget"
        visible: popup.page === "forget"
        onSigSendMailbox: {
            operateToken.SetEmail(mailbox)
            findPasswd.VlFindPasswdJson(mailbox)
        }
        onSigBack: popup.page = "login"
    }
    VerificationCode {
        id: verifyPage
        objectName: "verify"
        visible: popup.page === "verify"
        onSigVerifyCode: {
            popup.correctCode = code
            validatePassword.VlValidatePasswordJson(operateToken.GetEmail(), code)
        }
        onSigUnrecvCode: popup.unrecvShown = true
        onSigBack: popup.page = "forget"
    }
    ResetPasswd {
        id: resetPage
        objectName: "reset"
        visible: popup.page === "reset"
        onSigResetPasswd: newPassword.VlNewPasswordJson(operateToken.GetEmail(), popup.correctCode,
                                                        rePwd)
        onSigBack: popup.page = "verify"
    }
    UnrecvCode {
        objectName: "unrecv"
        visible: popup.unrecvShown && popup.page === "verify"
        onSigPrevious: popup.unrecvShown = false
    }
}
