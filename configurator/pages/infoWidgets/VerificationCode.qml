// Recovery, step 2: the code received by mail. The counter runs while the page is
// visible, from 60 down to 0.
import QtQuick 2.15
import an.utility 1.0
import Account.Pages 1.0

Item {
    id: verify
    // Enter in any field, or on the button, sends the form.
    Keys.onReturnPressed: submit.clicked()
    Keys.onEnterPressed: submit.clicked()
    width: 400
    height: 344

    signal sigVerifyCode(string code)
    signal sigUnrecvCode()
    signal sigBack()

    function showError(text) { error.show(text) }

    VerificationCountdown {
        id: countdown
        running: verify.visible
    }

    BackButton {
        objectName: "back"
        x: 8
        y: 8
        onClicked: verify.sigBack()
    }
    Column {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 20
        spacing: 14

        Text {
            width: 300
            text: qsTr("Verify")
            font.pixelSize: 20
            color: Palette.formText
            horizontalAlignment: Text.AlignHCenter
        }
        Text {
            width: 300
            text: qsTr("Please enter the verification code received by email")
            wrapMode: Text.WordWrap
            font.pixelSize: 13
            color: Palette.formMuted
        }
        Row {
            spacing: 10
            LineInput {
                id: code
                errorText: error.text
                objectName: "code"
                width: 230
                hint: qsTr("Verify Code")
                icon: "qrc:/images/account/code.svg"
            }
            Rectangle {
                width: 60
                height: 38
                radius: 4
                color: Palette.formField
                Text {
                    objectName: "counter"
                    anchors.centerIn: parent
                    text: qsTr("%1 s").arg(countdown.remaining)
                    font.pixelSize: 14
                    color: countdown.remaining > 0 ? Palette.link : Palette.formMuted
                }
            }
        }
        Item {
            width: 300
            height: 18
            LinkText {
                objectName: "unrecvLink"
                anchors.right: parent.right
                text: qsTr("No verification code received?")
                onClicked: verify.sigUnrecvCode()
            }
        }
        AccountButton {
            id: submit
            objectName: "nextButton"
            text: qsTr("Next")
            onClicked: {
                const failed = AccountForms.firstError(AccountForms.VerificationCode, [code.text])
                error.show(failed)
                if (failed === "")
                    verify.sigVerifyCode(code.text)
            }
        }
        ErrorLine {
            id: error
            objectName: "error"
        }
    }
}
