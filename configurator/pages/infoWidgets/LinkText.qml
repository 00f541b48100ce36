// A clickable text of the account pages.
import QtQuick 2.15
import an.utility 1.0
import "../assembly"

Text {
    id: link
    signal clicked()
    activeFocusOnTab: true
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()
    Keys.onSpacePressed: clicked()
    Accessible.role: Accessible.Link
    Accessible.name: text
    Accessible.focusable: true
    Accessible.onPressAction: clicked()
    color: area.containsMouse ? Palette.linkHover : Palette.link
    font.pixelSize: 13
    font.underline: area.containsMouse
    FocusRing { radius: 2 }
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onClicked: link.clicked()
    }
}
