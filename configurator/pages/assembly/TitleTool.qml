// A flat title-bar button: an optional icon and a label.
import QtQuick 2.15
import an.utility 1.0
import QtQuick.Controls 2.15

Rectangle {
    id: root
    property string icon: ""
    property alias text: label.text
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
    Accessible.focusable: true
    Accessible.description: shortcut
    Accessible.onPressAction: clicked()

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
    FocusRing {}
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
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
