// A result: success icon when `bMark` is set, failure icon otherwise. A long text
// wraps and the box grows downwards to hold it.
import QtQuick 2.15
import an.utility 1.0

Rectangle {
    id: root
    property bool bMark: true
    property alias text: message.text

    // Read out as it appears: the result of what the user just did.
    Accessible.role: Accessible.AlertMessage
    Accessible.name: text

    width: 330
    height: Math.max(60, content.height + 24)
    radius: 6
    color: Palette.panel
    border.color: bMark ? "#27ae60" : "#eb5757"
    Row {
        id: content
        anchors.centerIn: parent
        spacing: 10
        Image {
            anchors.verticalCenter: parent.verticalCenter
            source: root.bMark ? "qrc:/images/success.svg" : "qrc:/images/failure.svg"
            Accessible.ignored: true
        }
        Text {
            id: message
            objectName: "infoText"
            anchors.verticalCenter: parent.verticalCenter
            width: Math.min(implicitWidth, root.width - 70)
            wrapMode: Text.Wrap
            color: Palette.text
            font.pixelSize: 14
        }
    }
}
