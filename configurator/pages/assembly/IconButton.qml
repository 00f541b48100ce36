// A picture that can be clicked, with a light hover back.
import QtQuick 2.15

Rectangle {
    id: root
    property alias source: icon.source
    signal clicked()

    width: 32
    height: 32
    radius: 4
    color: area.pressed ? "#2a303a" : area.containsMouse ? "#3a4250" : "transparent"
    Image {
        id: icon
        anchors.centerIn: parent
    }
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: root.clicked()
    }
}
