// The main page: the agent's keeper, the receiver's state and pairing, and the
// tray icon through which the configurator is shown again or ended. Closing the
// window only hides it.
import QtQuick 2.15
import QtQuick.Window 2.15
import Model.QX.CheckProcess 1.0
import Model.QX.PairDoWork 1.0
import an.utility 1.0

Window {
    id: mainWindow
    objectName: "mainWindow"
    width: 1000
    height: 700
    visible: true
    title: qsTr("Velko Options")

    property string versionClass: ""
    property bool receiverPresent: false
    property string pairProgress: ""

    onClosing: {
        close.accepted = false
        mainWindow.hide()
    }

    function showFromTray() {
        checkProcess.RestartOption()
        mainWindow.show()
        mainWindow.raise()
        mainWindow.requestActivate()
    }

    function progressText(progress) {
        switch (progress) {
        case "enterSuccess": return qsTr("Press the mouse's pairing button now.")
        case "enterFailure": return qsTr("The receiver could not enter pairing mode.")
        case "pairSuccess": return qsTr("The mouse is paired.")
        case "pairFailure": return qsTr("Pairing failed.")
        }
        return ""
    }

    CheckProcess {
        id: checkProcess
        objectName: "checkProcess"
        onSigCurrentSysVerison: mainWindow.versionClass = sysVersion
    }

    PairDoWork {
        id: pairDoWork
        objectName: "pairDoWork"
        onSigPlugInReceiver: mainWindow.receiverPresent = pairDoWork.CheckPlugInReceiver()
        onSigEnterPair: mainWindow.pairProgress = progress
        onSigPairRet: mainWindow.pairProgress = progress
        Component.onCompleted: BeginMonitor()
    }

    SystemTrayIcon {
        id: tray
        objectName: "tray"
        visible: true
        icon: "qrc:/images/app.ico"
        toolTip: "Velko Options"
        onTrigger: mainWindow.showFromTray()
        menu: MyMenu {
            MyAction {
                text: qsTr("show")
                onTriggered: mainWindow.showFromTray()
            }
            MyAction {
                text: qsTr("exit")
                onTriggered: {
                    checkProcess.CloseVelkoOptions()
                    tray.onExit()
                }
            }
        }
    }

    Column {
        anchors.centerIn: parent
        spacing: 16

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            font.pixelSize: 28
            text: qsTr("Velko Options")
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            font.pixelSize: 16
            text: mainWindow.receiverPresent ? qsTr("Receiver connected")
                                             : qsTr("Receiver not connected")
        }
        Rectangle {
            anchors.horizontalCenter: parent.horizontalCenter
            width: 160
            height: 40
            radius: 6
            color: pairArea.pressed ? "#174a8c" : "#216ec8"
            Text {
                anchors.centerIn: parent
                color: "white"
                font.pixelSize: 16
                text: qsTr("Pair")
            }
            MouseArea {
                id: pairArea
                anchors.fill: parent
                onClicked: pairDoWork.BeginPair()
            }
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            font.pixelSize: 16
            text: mainWindow.progressText(mainWindow.pairProgress)
        }
    }

    // The presence check keeps the window alive for a second; run it once the
    // window is up.
    Timer {
        interval: 0
        running: true
        onTriggered: mainWindow.receiverPresent = pairDoWork.CheckPlugInReceiver()
    }

    Component.onCompleted: checkProcess.CheckTargetPro()
}
