// The title bar of the connection page: logo, log-in or the signed-in user, sync,
// about, where the desktop has no tray the tray menu's actions, minimise and close.
import QtQuick 2.15
import an.utility 1.0

Rectangle {
    id: root
    property bool signedIn: false
    property string nickName: ""
    // Syncing is offered while signed in.
    property bool allowSync: false
    // The "Login/Register" button stays lit while its pop-up is open.
    property bool loginActive: false
    // The title bar's keyboard shortcuts work (nothing covers the page).
    property bool shortcutsEnabled: true
    // No tray to hold the menu: the title bar offers it.
    property bool offerMenu: false

    signal sigLogReg()
    signal sigSync()
    signal sigAbout()
    signal sigSignIn()
    signal sigMenu()
    signal sigMinimum()
    signal sigHidden()

    // "sign_in" with the nickname switches to the signed-in look, "sign_out" back.
    function slots_loginRegister(code, text) {
        if (code === "sign_in") {
            nickName = text
            signedIn = true
            allowSync = true
        } else if (code === "sign_out") {
            nickName = ""
            signedIn = false
            allowSync = false
            loginActive = false
        }
    }

    height: 50
    color: Palette.titleBar

    Row {
        anchors.verticalCenter: parent.verticalCenter
        x: 16
        spacing: 10
        Image {
            anchors.verticalCenter: parent.verticalCenter
            source: "qrc:/images/logo.svg"
            sourceSize: Qt.size(30, 30)
            Accessible.ignored: true
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            color: Palette.text
            font.pixelSize: 17
            text: qsTr("Velko Options")
        }
    }

    Row {
        anchors.right: parent.right
        anchors.rightMargin: 10
        anchors.verticalCenter: parent.verticalCenter
        spacing: 8
        PushButton {
            objectName: "loginButton"
            shortcut: "Alt+3"
            shortcutEnabled: root.shortcutsEnabled
            anchors.verticalCenter: parent.verticalCenter
            visible: !root.signedIn
            primary: root.loginActive
            height: 30
            fontSize: 13
            text: qsTr("Login/Register")
            onClicked: root.sigLogReg()
        }
        SignIn {
            objectName: "signIn"
            shortcut: "Alt+3"
            shortcutEnabled: root.shortcutsEnabled
            anchors.verticalCenter: parent.verticalCenter
            visible: root.signedIn
            nickName: root.nickName
            onClicked: root.sigSignIn()
        }
        TitleTool {
            objectName: "syncButton"
            shortcut: "Alt+4"
            shortcutEnabled: root.shortcutsEnabled
            icon: "qrc:/images/cloud.svg"
            text: qsTr("Sync")
            onClicked: root.sigSync()
        }
        TitleTool {
            objectName: "aboutButton"
            shortcut: "Alt+5"
            shortcutEnabled: root.shortcutsEnabled
            text: qsTr("About")
            onClicked: root.sigAbout()
        }
        IconButton {
            objectName: "menuButton"
            anchors.verticalCenter: parent.verticalCenter
            visible: root.offerMenu
            source: "qrc:/images/menu.svg"
            name: qsTr("Menu")
            onClicked: root.sigMenu()
        }
        WindowButtons {
            anchors.verticalCenter: parent.verticalCenter
            onSigMinimum: root.sigMinimum()
            onSigHidden: root.sigHidden()
        }
    }
}
