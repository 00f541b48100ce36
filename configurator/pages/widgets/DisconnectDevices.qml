// No receiver is plugged in.
import QtQuick 2.15
import an.utility 1.0
import "../assembly"

FullPage {
    id: root
    property bool pageState: false
    signal sigQXPair(string pair_index)

    Image {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 170
        source: "qrc:/images/receiver.svg"
    }
    PageText {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 340
        color: Palette.text
        font.pixelSize: 24
        text: qsTr("Undetected Equipment")
    }
    PageText {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 384
        color: Palette.textMuted
        font.pixelSize: 15
        text: qsTr("Please make sure the connected device is turned on")
    }
    PushButton {
        objectName: "pairButton"
        anchors.horizontalCenter: parent.horizontalCenter
        y: 450
        text: qsTr("Pair")
        onClicked: root.sigQXPair("DisconnPair")
    }
}
