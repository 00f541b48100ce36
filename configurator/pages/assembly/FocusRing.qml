// The mark of the item that has the keyboard focus: a ring just outside it, in a
// blue that stands out from the dark pages and from the light lists alike.
import QtQuick 2.15
import an.utility 1.0

Rectangle {
    // The item the ring goes round, and the one whose focus it shows.
    property Item target: parent
    property Item focusItem: target
    property real inset: -3
    anchors.fill: target
    anchors.margins: inset
    radius: target && target.radius !== undefined ? target.radius - inset : 0
    color: "transparent"
    border.width: 2
    border.color: Palette.focusRing
    visible: focusItem !== null && focusItem.activeFocus && KeyboardUse.active
    Accessible.ignored: true
}
