// The Register tab. A registration the server accepted clears the fields and shows
// its message as a success; once that has been shown, sigRegistered(email) leads
// back to the Login tab with the address just registered.
import QtQuick 2.15
import Account.Pages 1.0

Item {
    id: registerPage
    // Enter in any field, or on the button, sends the form.
    Keys.onReturnPressed: submit.clicked()
    Keys.onEnterPressed: submit.clicked()
    width: 400
    height: 288

    property bool registered: false
    property string registeredEmail: ""

    signal sigRegisterAccountData(string nickname, string email, string password, string rePassword)
    signal sigRegistered(string email)

    function showResult(code, text) {
        error.success = code === 0
        if (code === 0) {
            registered = true
            registeredEmail = email.text
            for (const field of [nickname, email, password, rePassword])
                field.clear()
        }
        error.show(text)
        if (registered && text === "")
            finish() // nothing to read: no reason to wait
    }
    function finish() {
        registered = false
        sigRegistered(registeredEmail)
    }

    Column {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 12
        spacing: 8

        LineInput {

            id: nickname

            errorText: error.text
            objectName: "username"
            hint: qsTr("username")
            icon: "qrc:/images/account/user.svg"
        }
        LineInput {
            id: email
            errorText: error.text
            objectName: "mailbox"
            hint: qsTr("mailbox")
            pattern: "email"
            icon: "qrc:/images/account/mail.svg"
        }
        LineInput {
            id: password
            errorText: error.text
            objectName: "password"
            hint: qsTr("password")
            pattern: "password"
            password: true
            icon: "qrc:/images/account/lock.svg"
        }
        LineInput {
            id: rePassword
            errorText: error.text
            objectName: "rePassword"
            hint: qsTr("enter password again")
            pattern: "password"
            password: true
            icon: "qrc:/images/account/lock.svg"
        }
        AccountButton {
            id: submit
            objectName: "registerButton"
            text: qsTr("Register")
            onClicked: {
                const failed = AccountForms.firstError(AccountForms.Register,
                        [nickname.text, email.text, password.text, rePassword.text])
                error.success = false
                error.show(failed)
                if (failed === "")
                    registerPage.sigRegisterAccountData(nickname.text, email.text,
                                                        password.text, rePassword.text)
            }
        }
        ErrorLine {
            id: error
            objectName: "error"
            onCleared: if (registerPage.registered) registerPage.finish()
        }
    }
}
