// The signed-in indicator of the title bar: a person and the nickname, cut with an
// ellipsis; the whole nickname shows as a tool tip.
import QtQuick 2.15
import QtQuick.Controls 2.15

Rectangle {
    id: root
    property string nickName: ""
    signal clicked()

    activeFocusOnTab: true
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()
    Keys.onSpacePressed: clicked()
    Accessible.role: Accessible.Button
    Accessible.name: qsTr("Account: %1").arg(nickName)
    Accessible.focusable: true
    Accessible.onPressAction: clicked()

    width: 150
    height: 32
    radius: 4
    color: area.containsMouse ? "#3a4250" : "transparent"
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
            color: "#e6ebf2"
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
    ToolTip.text: root.nickName
}
