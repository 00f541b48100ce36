// The account page of the signed-in user. Its fields and checks come with the
// account pages; the main page already handles its signals.
import QtQuick 2.15
import "../assembly"

FullPage {
    id: root
    signal sigUpdatePwd(string oldPwd, string rePwd)
    signal sigError(string text)
    signal sigSignInAction(string action)

    showWindowButtons: false
    IconButton {
        objectName: "backButton"
        x: 60
        y: 9
        source: "qrc:/images/back.svg"
        onClicked: root.sigSignInAction("hide_signOut_page")
    }
    Text {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 120
        color: "#e6ebf2"
        font.pixelSize: 24
        text: qsTr("Change Password")
    }
    PushButton {
        objectName: "signOutButton"
        anchors.horizontalCenter: parent.horizontalCenter
        y: 500
        primary: false
        text: qsTr("Sign out")
        onClicked: root.sigSignInAction("sign_out")
    }
}
