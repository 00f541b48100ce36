// A clickable text of the account pages.
import QtQuick 2.15
import an.utility 1.0
import "../assembly"

Text {
    id: link
    signal clicked()
    color: area.containsMouse ? Palette.linkHover : Palette.link
    font.pixelSize: 13
    font.underline: area.containsMouse
    ClickArea {
        id: area
        anchors.fill: parent
        cursorShape: Qt.PointingHandCursor
        role: Accessible.Link
        name: link.text
        onClicked: link.clicked()
    }
}
