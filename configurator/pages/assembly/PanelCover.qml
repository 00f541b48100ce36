// A panel under the title bar on a transparent cover. Opened, the panel has the
// keyboard, and Esc or a click beside the panel closes it; closed, the keyboard
// goes back to what had it before (the button that opened it), or else to the
// page. The panel is the cover's child, placed by `panelAnchor`.
import QtQuick 2.15
import QtQuick.Window 2.15
import "focus.js" as Focus

Item {
    id: cover
    anchors.fill: parent
    visible: false

    // Where the panel's top right corner sits.
    property point panelAnchor: Qt.point(width - 120, 56)

    property Item opener: null
    function open() {
        opener = Window.activeFocusItem
        visible = true
        Qt.callLater(Focus.first, cover)
    }
    function close() {
        var hadKeyboard = Focus.isInside(Window.activeFocusItem, cover)
        visible = false
        if (hadKeyboard)
            Qt.callLater(Focus.restore, opener, cover.parent)
    }
    Keys.onEscapePressed: close()
    readonly property bool keepsKeyboard: true // Tab goes round it

    MouseArea { // takes the pointer's hover too, as the other covers do
        objectName: "outside"
        anchors.fill: parent
        hoverEnabled: true
        onClicked: cover.close()
    }
}
