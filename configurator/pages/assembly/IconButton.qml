// A picture that can be clicked, with a light hover back.
import QtQuick 2.15
import an.utility 1.0

Rectangle {
    id: root
    property alias source: icon.source
    // What the picture means, for screen readers.
    property alias name: area.name
    signal clicked()

    width: 32
    height: 32
    radius: 4
    color: area.pressed ? Palette.chip : area.containsMouse ? Palette.line : "transparent"
    Image {
        id: icon
        anchors.centerIn: parent
        Accessible.ignored: true
    }
    ClickArea {
        id: area
        anchors.fill: parent
        onClicked: root.clicked()
    }
}
