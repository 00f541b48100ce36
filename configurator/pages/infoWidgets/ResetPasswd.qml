// Recovery, step 3: the new password, typed twice.
import QtQuick 2.15
import an.utility 1.0
import Account.Pages 1.0

Item {
    id: reset
    // Enter in any field, or on the button, sends the form.
    Keys.onReturnPressed: submit.clicked()
    Keys.onEnterPressed: submit.clicked()
    width: 400
    height: 344

    signal sigResetPasswd(string rePwd)
    signal sigBack()

    function showError(text) { error.show(text) }

    BackButton {
        objectName: "back"
        x: 8
        y: 8
        onClicked: reset.sigBack()
    }
    Column {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 20
        spacing: 14

        Text {
            width: 300
            text: qsTr("Reset password")
            font.pixelSize: 20
            color: Palette.formText
            horizontalAlignment: Text.AlignHCenter
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
            hint: qsTr("Enter password again")
            pattern: "password"
            password: true
            icon: "qrc:/images/account/lock.svg"
        }
        AccountButton {
            id: submit
            objectName: "completeButton"
            text: qsTr("Complete")
            onClicked: {
                const failed = AccountForms.firstError(AccountForms.ResetPasswd,
                                                       [password.text, rePassword.text])
                error.show(failed)
                if (failed === "")
                    reset.sigResetPasswd(rePassword.text)
            }
        }
        ErrorLine {
            id: error
            objectName: "error"
        }
    }
}
