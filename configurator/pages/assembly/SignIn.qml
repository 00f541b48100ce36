// The signed-in indicator of the title bar: a person and the nickname, cut with an
// ellipsis; the whole nickname shows as a tool tip.
import QtQuick 2.15
import an.utility 1.0

Rectangle {
    id: root
    property string nickName: ""
    property alias shortcut: area.shortcut
    property alias shortcutEnabled: area.shortcutEnabled
    signal clicked()

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
    ClickArea {
        id: area
        anchors.fill: parent
        name: qsTr("Account: %1").arg(root.nickName)
        toolTip: root.nickName === "" ? "" : root.shortcut !== "" ? root.nickName + " (" + root.shortcut + ")"
                                                                  : root.nickName
        onClicked: root.clicked()
    }
}
