// One entry of an assignment list: its text, the check mark of the chosen entry
// and, for entries with a detail panel, a small arrow. It reports the pointer's
// coming and going and the pick; the list keeps the entries' states.
import QtQuick 2.15
import an.utility 1.0

Rectangle {
    id: entry

    property string text: ""
    property bool hasArrow: false
    property string selectState: "normal" // "normal", "hover" or "pressed"
    property bool pickOnPress: false      // wheel lists pick on press, key lists on release

    signal picked()
    signal pointerInside(bool inside)

    // In a list the current entry has the focus while the list has it; the
    // entries outside the list are reached with Tab.
    Keys.onReturnPressed: picked()
    Keys.onEnterPressed: picked()
    Keys.onSpacePressed: picked()
    Accessible.role: Accessible.ListItem
    Accessible.name: text
    Accessible.selectable: true
    Accessible.selected: selectState === "pressed"
    Accessible.focusable: true
    Accessible.onPressAction: picked()

    height: 30
    // The keyboard's place in the list, drawn as the entry's own border: a list
    // holds dozens of entries, and one more item each would be felt.
    border.width: entry.activeFocus && KeyboardUse.active ? 2 : 0
    border.color: Palette.listFocus
    color: selectState === "pressed" ? Palette.listSelected : selectState === "hover" ? Palette.listHover : "transparent"

    Image {
        id: mark
        anchors.left: parent.left
        anchors.leftMargin: 12
        anchors.verticalCenter: parent.verticalCenter
        width: 14
        height: 14
        sourceSize: Qt.size(14, 14)
        source: "qrc:/images/ability/check.svg"
        visible: entry.selectState === "pressed"
        Accessible.ignored: true
    }

    Text {
        anchors.left: mark.right
        anchors.leftMargin: 10
        anchors.right: arrow.left
        anchors.rightMargin: 6
        anchors.verticalCenter: parent.verticalCenter
        text: entry.text
        elide: Text.ElideRight
        font.pixelSize: 14
        color: entry.selectState === "pressed" ? Palette.listSelectedText : Palette.listText
    }

    Image {
        id: arrow
        anchors.right: parent.right
        anchors.rightMargin: 14
        anchors.verticalCenter: parent.verticalCenter
        width: 12
        height: 12
        sourceSize: Qt.size(12, 12)
        source: "qrc:/images/ability/arrow.svg"
        visible: entry.hasArrow
        Accessible.ignored: true
    }

    MouseArea {
        anchors.fill: parent
        hoverEnabled: true
        acceptedButtons: Qt.LeftButton
        onEntered: entry.pointerInside(true)
        onExited: entry.pointerInside(false)
        onPressed: if (entry.pickOnPress) entry.picked()
        onReleased: if (!entry.pickOnPress && containsMouse) entry.picked()
    }
}
