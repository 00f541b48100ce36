// A flat title-bar button: an optional icon and a label.
import QtQuick 2.15
import an.utility 1.0

Rectangle {
    id: root
    property string icon: ""
    property alias text: label.text
    property alias shortcut: area.shortcut
    property alias shortcutEnabled: area.shortcutEnabled
    signal clicked()

    anchors.verticalCenter: parent ? parent.verticalCenter : undefined
    width: content.implicitWidth + 16
    height: 32
    radius: 4
    color: area.pressed ? Palette.chip : area.containsMouse ? Palette.line : "transparent"
    Row {
        id: content
        anchors.centerIn: parent
        spacing: 6
        Image {
            anchors.verticalCenter: parent.verticalCenter
            visible: root.icon !== ""
            source: root.icon
            Accessible.ignored: true
        }
        Text {
            id: label
            anchors.verticalCenter: parent.verticalCenter
            color: Palette.textSecondary
            font.pixelSize: 14
        }
    }
    ClickArea {
        id: area
        anchors.fill: parent
        name: root.text
        onClicked: root.clicked()
    }
}
