// A rounded text button; `primary` ones are filled with the accent colour.
import QtQuick 2.15
import an.utility 1.0
import QtQuick.Controls 2.15

Rectangle {
    id: root
    property alias text: label.text
    property bool primary: true
    property int fontSize: 15
    // Read with the text where the text alone would not say enough.
    property string description: ""
    signal clicked()
    // A key sequence that clicks the button from anywhere in the window while
    // `shortcutEnabled`; shown in the tool tip and read with the name.
    property string shortcut: ""
    property bool shortcutEnabled: true

    activeFocusOnTab: true
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()
    Keys.onSpacePressed: clicked()
    Accessible.role: Accessible.Button
    Accessible.name: text
    Accessible.description: description !== "" ? description : shortcut
    Accessible.focusable: true
    Accessible.onPressAction: clicked()

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
    FocusRing {}
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onClicked: root.clicked()
    }
    Shortcut {
        sequence: root.shortcut
        enabled: root.shortcut !== "" && root.shortcutEnabled && root.visible && root.enabled
        onActivated: root.clicked()
    }
    ToolTip.visible: root.shortcut !== "" && area.containsMouse
    ToolTip.delay: 600
    ToolTip.text: root.shortcut
}
