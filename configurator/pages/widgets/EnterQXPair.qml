// The steps before pairing. Back leads to the page pairing was started from.
import QtQuick 2.15
import an.utility 1.0
import "../assembly"

FullPage {
    id: root
    // 1: started from the connection page, 0: from the no-device page.
    property int revButton: 1
    signal sigPairClicked()
    signal sigRevClicked(string rev)

    function f_changeRevButton(from) {
        revButton = from
    }

    Keys.onEscapePressed: root.sigRevClicked(root.revButton === 1 ? "hidePair" : "toDisconnect")

    IconButton {
        objectName: "backButton"
        x: 60
        y: 9
        source: "qrc:/images/back.svg"
        name: qsTr("Back")
        onClicked: root.sigRevClicked(root.revButton === 1 ? "hidePair" : "toDisconnect")
    }
    Column {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 170
        spacing: 28
        Repeater {
            model: [qsTr("Plug receiver into the computer"), qsTr("Turn off mouse power switch"),
                qsTr("Click \"Pair\" button")]
            Row {
                spacing: 16
                Rectangle {
                    width: 36
                    height: 36
                    radius: 18
                    color: Palette.accent
                    PageText {
                        anchors.centerIn: parent
                        color: Palette.onAccent
                        font.pixelSize: 16
                        text: index + 1
                    }
                }
                PageText {
                    anchors.verticalCenter: parent.verticalCenter
                    color: Palette.text
                    font.pixelSize: 18
                    text: modelData
                }
            }
        }
    }
    PushButton {
        objectName: "pairButton"
        anchors.horizontalCenter: parent.horizontalCenter
        y: 470
        text: qsTr("Pair")
        onClicked: root.sigPairClicked()
    }
}
