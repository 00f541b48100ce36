// A one-line result: success icon when `bMark` is set, failure icon otherwise.
import QtQuick 2.15

Rectangle {
    id: root
    property bool bMark: true
    property alias text: message.text

    width: 330
    height: 60
    radius: 6
    color: "#262b34"
    border.color: bMark ? "#27ae60" : "#eb5757"
    Row {
        anchors.centerIn: parent
        spacing: 10
        Image {
            anchors.verticalCenter: parent.verticalCenter
            source: root.bMark ? "qrc:/images/success.svg" : "qrc:/images/failure.svg"
        }
        Text {
            id: message
            objectName: "infoText"
            anchors.verticalCenter: parent.verticalCenter
            width: Math.min(implicitWidth, root.width - 70)
            wrapMode: Text.WordWrap
            color: "#e6ebf2"
            font.pixelSize: 14
        }
    }
}
