// The Login tab: mailbox and password, checked before anything is sent.
import QtQuick 2.15
import Account.Pages 1.0

Item {
    id: login
    // Enter in any field, or on the button, sends the form.
    Keys.onReturnPressed: submit.clicked()
    Keys.onEnterPressed: submit.clicked()
    width: 400
    height: 288

    signal sigLoginClicked(string account, string password)
    signal sigForgetPasswd()

    function showError(text) { error.show(text) }
    // The address just registered, ready to log in with.
    function setMailbox(text) { mailbox.text = text }
    readonly property alias mailboxText: mailbox.text

    Column {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 28
        spacing: 14

        LineInput {

            id: mailbox

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
        Item {
            width: 300
            height: 18
            LinkText {
                objectName: "forgetLink"
                anchors.right: parent.right
                text: qsTr("Forget password?")
                onClicked: login.sigForgetPasswd()
            }
        }
        AccountButton {
            id: submit
            objectName: "loginButton"
            text: qsTr("Login")
            onClicked: {
                const failed = AccountForms.firstError(AccountForms.Login,
                                                       [mailbox.text, password.text])
                error.show(failed)
                if (failed === "")
                    login.sigLoginClicked(mailbox.text, password.text)
            }
        }
        ErrorLine {
            id: error
            objectName: "error"
        }
    }
}
