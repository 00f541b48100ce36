// The signed-in indicator of the title bar: a person and the nickname, cut with an
// ellipsis; the whole nickname shows as a tool tip.
import QtQuick 2.15
import an.utility 1.0
import QtQuick.Controls 2.15

Rectangle {
    id: root
    property string nickName: ""
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
    Accessible.name: qsTr("Account: %1").arg(nickName)
    Accessible.focusable: true
    Accessible.description: shortcut
    Accessible.onPressAction: clicked()

    width: 150
    height: 32
    radius: 4
    color: area.containsMouse ? Palette.line : "transparent"
    Row {
        anchors.verticalCenter: parent.verticalCenter
        x: 6
        spacing: 6
        Image {
            anchors.verticalCenter: parent.verticalCenter
            source: "qrc:/images/person.svg"
            Accessible.ignored: true
        }
        Text {
            objectName: "nickNameText"
            anchors.verticalCenter: parent.verticalCenter
            width: root.width - 38
            elide: Text.ElideRight
            color: Palette.text
            font.pixelSize: 14
            text: root.nickName
        }
    }
    FocusRing {}
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: root.clicked()
    }
    ToolTip.visible: area.containsMouse && root.nickName.length > 0
    ToolTip.text: root.shortcut !== "" ? root.nickName + " (" + root.shortcut + ")" : root.nickName
    Shortcut {
        sequence: root.shortcut
        enabled: root.shortcut !== "" && root.shortcutEnabled && root.visible && root.enabled
        onActivated: root.clicked()
    }
}
