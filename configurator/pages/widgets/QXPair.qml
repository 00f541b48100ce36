// The receiver is in pairing mode: the mouse is switched on and paired.
import QtQuick 2.15
import "../assembly"
import an.utility 1.0

FullPage {
    // The picture of the model being paired: with the side wheel or without.
    property bool eightKeys: true
    showWindowButtons: false
    Image {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 130
        source: eightKeys ? "qrc:/images/mouse8.svg" : "qrc:/images/mouse7.svg"
        sourceSize: Qt.size(130, 215)
    }
    Text {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 390
        color: Palette.text
        font.pixelSize: 20
        // Read out as the page appears: pairing has begun.
        Accessible.role: Accessible.AlertMessage
        Accessible.name: text
        text: qsTr("Turn on the mouse power switch")
    }
    PageText {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 436
        horizontalAlignment: Text.AlignHCenter
        color: Palette.textMuted
        font.pixelSize: 16
        text: qsTr("Please press the left, center \nand right keys simultaneously")
    }
    BusyDots {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 520
    }
}
