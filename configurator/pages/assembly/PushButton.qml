// A rounded text button; `primary` ones are filled with the accent colour.
import QtQuick 2.15
import an.utility 1.0

Rectangle {
    id: root
    property alias text: label.text
    property bool primary: true
    property int fontSize: 15
    // Read with the text where the text alone would not say enough.
    property alias description: area.description
    property alias shortcut: area.shortcut
    property alias shortcutEnabled: area.shortcutEnabled
    signal clicked()

    width: Math.max(110, label.implicitWidth + 36)
    height: 36
    radius: height / 2
    color: primary ? (area.pressed ? Palette.accentPressed : area.containsMouse ? Palette.accentHover : Palette.accent)
                   : (area.pressed ? Palette.chip : area.containsMouse ? Palette.controlHover : Palette.control)
    Text {
        id: label
        anchors.centerIn: parent
        color: Palette.onAccent
        font.pixelSize: root.fontSize
    }
    ClickArea {
        id: area
        anchors.fill: parent
        cursorShape: Qt.PointingHandCursor
        name: root.text
        onClicked: root.clicked()
    }
}
