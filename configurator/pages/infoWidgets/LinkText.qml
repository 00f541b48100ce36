// A clickable text of the account pages.
import QtQuick 2.15

Text {
    id: link
    signal clicked()
    color: area.containsMouse ? "#1f6fc4" : "#2d8cf0"
    font.pixelSize: 13
    font.underline: area.containsMouse
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onClicked: link.clicked()
    }
}
