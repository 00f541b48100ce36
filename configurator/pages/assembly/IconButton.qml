// A picture that can be clicked, with a light hover back.
import QtQuick 2.15
import an.utility 1.0

Rectangle {
    id: root
    property alias source: icon.source
    // What the picture means, for screen readers and the tool tip.
    property string name: ""
    signal clicked()

    activeFocusOnTab: true
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()
    Keys.onSpacePressed: clicked()
    Accessible.role: Accessible.Button
    Accessible.name: name
    Accessible.focusable: true
    Accessible.onPressAction: clicked()

    width: 32
    height: 32
    radius: 4
    color: area.pressed ? Palette.chip : area.containsMouse ? Palette.line : "transparent"
    Image {
        id: icon
        anchors.centerIn: parent
        Accessible.ignored: true
    }
    FocusRing {}
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: root.clicked()
    }
}
