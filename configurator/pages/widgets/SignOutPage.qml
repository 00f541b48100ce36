// The account page of the signed-in user: change the password or sign out.
// sigUpdatePwd(old, new) once the new password is typed the same twice, otherwise
// sigError(message); sigSignInAction("sign_out") and ("hide_signOut_page").
import QtQuick 2.15
import an.utility 1.0
import QtQuick.Controls 2.15
import Account.Pages 1.0
import "../assembly"
import "../infoWidgets"

FullPage {
    id: signOutPage

    property string nickName: ""

    signal sigUpdatePwd(string oldPwd, string rePwd)
    signal sigError(string text)
    signal sigSignInAction(string action)

    // Enter sends the password change once it can be sent; Esc goes back.
    Keys.onReturnPressed: if (save.enabled) save.clicked()
    Keys.onEnterPressed: if (save.enabled) save.clicked()
    Keys.onEscapePressed: signOutPage.sigSignInAction("hide_signOut_page")

    CompletedFields { id: completed }

    // Whatever was typed goes when the page is left (back, sign-out, a password
    // change): the next user finds the fields empty and "Save" disabled.
    function clearFields() {
        for (let i = 0; i < fields.count; ++i) {
            fields.itemAt(i).focus = false
            fields.itemAt(i).clear()
        }
        completed.reset()
    }
    onVisibleChanged: if (!visible) clearFields()

    IconButton {
        objectName: "backButton"
        x: 60
        y: 9
        source: "qrc:/images/back.svg"
        name: qsTr("Back")
        onClicked: signOutPage.sigSignInAction("hide_signOut_page")
    }

    Rectangle {
        anchors.centerIn: parent
        width: 420
        height: 500
        radius: 8
        color: "white"

        Column {
            anchors.horizontalCenter: parent.horizontalCenter
            y: 28
            spacing: 16

            Image {
                anchors.horizontalCenter: parent.horizontalCenter
                source: "qrc:/images/account/avatar.svg"
                sourceSize: Qt.size(80, 80)
                Accessible.ignored: true
            }
            PageText {
                objectName: "nickName"
                width: 300
                text: signOutPage.nickName
                elide: Text.ElideRight
                horizontalAlignment: Text.AlignHCenter
                font.pixelSize: 16
                color: Palette.formText
            }
            PageText {
                width: 300
                text: qsTr("Change Password")
                font.pixelSize: 18
                color: Palette.formText
            }
            Repeater {
                id: fields
                model: [qsTr("Old password"), qsTr("New password"),
                    qsTr("Enter the new password again")]
                LineInput {
                    objectName: "field" + index
                    hint: modelData
                    pattern: "password"
                    password: true
                    icon: "qrc:/images/account/lock.svg"
                    onSigEditFinished: completed.focusChanged(index, text)
                    onSigTextEdit: completed.textEdited(index, text)
                }
            }
            AccountButton {
                id: save
                objectName: "saveButton"
                text: qsTr("Save")
                enabled: completed.saveEnabled
                onClicked: {
                    const typed = [0, 1, 2].map(i => fields.itemAt(i).text)
                    const failed = AccountForms.firstError(AccountForms.SignOutPage, typed)
                    if (failed !== "") {
                        signOutPage.sigError(failed)
                        return
                    }
                    signOutPage.sigUpdatePwd(typed[0], typed[2])
                    signOutPage.clearFields()
                }
            }
            Button {
                id: signOut
                objectName: "signOutButton"
                width: 300
                height: 38
                text: qsTr("Sign out")
                onClicked: signOutPage.sigSignInAction("sign_out")
                Keys.onReturnPressed: clicked()
                Keys.onEnterPressed: clicked()
                contentItem: Text {
                    text: signOut.text
                    font.pixelSize: 15
                    color: Palette.error
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                }
                background: Rectangle {
                    radius: 4
                    color: signOut.down ? Palette.dangerPressed : signOut.hovered ? Palette.dangerHover : "white"
                    border.color: "#f3c4c5"
                }
                FocusRing {
                    radius: 7
                }
            }
        }
    }
}
