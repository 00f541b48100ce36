// Recovery, step 1: the address the verification code goes to.
import QtQuick 2.15
import an.utility 1.0
import Account.Pages 1.0

Item {
    id: forget
    // Enter in any field, or on the button, sends the form.
    Keys.onReturnPressed: submit.clicked()
    Keys.onEnterPressed: submit.clicked()
    width: 400
    height: 344

    signal sigSendMailbox(string mailbox)
    signal sigBack()

    function showError(text) { error.show(text) }
    function setMailbox(text) { mailbox.text = text }

    BackButton {
        objectName: "back"
        x: 8
        y: 8
        onClicked: forget.sigBack()
    }
    Column {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 20
        spacing: 14

        Text {
            width: 300
            text: qsTr("forget password")
            font.pixelSize: 20
            color: Palette.formText
            horizontalAlignment: Text.AlignHCenter
        }
        Text {
            width: 300
            text: qsTr("In order to protect the security of the account, we will send a verification code to the mailbox")
            wrapMode: Text.WordWrap
            font.pixelSize: 13
            color: Palette.formMuted
        }
        LineInput {
            id: mailbox
            errorText: error.text
            objectName: "mailbox"
            hint: qsTr("mailbox")
            pattern: "email"
            icon: "qrc:/images/account/mail.svg"
        }
        AccountButton {
            id: submit
            objectName: "sendButton"
            text: qsTr("Send")
            onClicked: {
                const failed = AccountForms.firstError(AccountForms.ForgetPasswd, [mailbox.text])
                error.show(failed)
                if (failed === "")
                    forget.sigSendMailbox(mailbox.text)
            }
        }
        ErrorLine {
            id: error
            objectName: "error"
        }
    }
}
