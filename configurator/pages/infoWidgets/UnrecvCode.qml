// Why a verification code may not have arrived.
import QtQuick 2.15
import an.utility 1.0

Rectangle {
    id: unrecv
    // Enter in any field, or on the button, sends the form.
    Keys.onReturnPressed: submit.clicked()
    Keys.onEnterPressed: submit.clicked()
    width: 400
    height: 344
    color: "white"

    signal sigPrevious()

    MouseArea { // the guard: nothing under the page takes clicks
        anchors.fill: parent
    }

    Column {
        x: 36
        y: 24
        width: 328
        spacing: 10

        Repeater {
            model: [qsTr("Incorrect email address."),
                qsTr("The verification email has not been issued due to delays and other reasons."),
                qsTr("The mailbox server that verifies the mailbox is received is judged as spam and automatically transferred to the trash. You can check whether there is a verification email in the bin.")]
            Row {
                spacing: 6
                Text {
                    text: qsTr("%1.").arg(index + 1)
                    font.pixelSize: 13
                    color: Palette.formText
                }
                Text {
                    width: 310
                    text: modelData
                    wrapMode: Text.WordWrap
                    font.pixelSize: 13
                    color: Palette.formText
                }
            }
        }
        Text {
            width: 328
            text: qsTr("If none of the above methods can find the verification is limited, you can click Resend or other email address to re-register in the verification interface.")
            wrapMode: Text.WordWrap
            font.pixelSize: 12
            color: Palette.formMuted
        }
    }
    AccountButton {
        id: submit
        objectName: "previousButton"
        anchors.horizontalCenter: parent.horizontalCenter
        y: 266
        text: qsTr("Previous")
        onClicked: unrecv.sigPrevious()
    }
}
