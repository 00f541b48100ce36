// The list part shared by the two assignment pages: a heading and the items, the
// chosen one checked.
import QtQuick 2.15
import QtQuick.Controls 2.15

Rectangle {
    id: root
    property alias model: list.model
    property string titleText: ""
    // Key lists pick on release, wheel lists on press.
    property bool pickOnPress: false
    signal picked(int index)

    width: 310
    color: "#262b34"
    radius: 8
    border.color: "#3a4250"
    Text {
        x: 16
        y: 12
        width: parent.width - 32
        elide: Text.ElideRight
        color: "#e6ebf2"
        font.pixelSize: 16
        text: root.titleText
    }
    ListView {
        id: list
        x: 6
        y: 44
        width: parent.width - 12
        height: parent.height - 50
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}
        delegate: Rectangle {
            width: ListView.view.width
            height: 32
            color: area.containsMouse ? "#323946" : "transparent"
            Image {
                x: 8
                anchors.verticalCenter: parent.verticalCenter
                visible: model.isSelectItem === "pressed"
                source: "qrc:/images/check.svg"
            }
            Text {
                x: 32
                anchors.verticalCenter: parent.verticalCenter
                color: model.isSelectItem === "pressed" ? "#4a93f0" : "#c9d1dc"
                font.pixelSize: 14
                text: model.issueName
            }
            Image {
                anchors.right: parent.right
                anchors.rightMargin: 12
                anchors.verticalCenter: parent.verticalCenter
                visible: model.btn_state
                source: "qrc:/images/arrow.svg"
            }
            MouseArea {
                id: area
                anchors.fill: parent
                hoverEnabled: true
                onPressed: if (root.pickOnPress) root.picked(index)
                onReleased: if (!root.pickOnPress && containsMouse) root.picked(index)
            }
        }
    }
}
