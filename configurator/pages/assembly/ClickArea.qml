// A mouse area that the keyboard and screen readers can use too: Tab reaches it,
// Enter or Space clicks it, and it is read as a button (or `role`) with its name.
// The focus ring goes round the item the area lies on. A `shortcut` clicks it from
// anywhere in the window while `shortcutEnabled`; the tool tip shows it, and it is
// read with the name.
import QtQuick 2.15
import QtQuick.Controls 2.15

MouseArea {
    id: area
    property string name: ""
    property string description: ""
    property int role: Accessible.Button
    property bool checked: false // read for radio buttons and check boxes
    property string shortcut: ""
    property bool shortcutEnabled: true
    property string toolTip: shortcut

    hoverEnabled: true
    activeFocusOnTab: true
    Keys.onReturnPressed: area.clicked(null)
    Keys.onEnterPressed: area.clicked(null)
    Keys.onSpacePressed: area.clicked(null)
    Accessible.role: role
    Accessible.name: name
    Accessible.description: description !== "" ? description : shortcut
    Accessible.focusable: true
    Accessible.checkable: role === Accessible.RadioButton || role === Accessible.CheckBox
    Accessible.checked: checked
    Accessible.onPressAction: area.clicked(null)

    // Focus given to the item the area lies on (a box's default button) is the
    // area's.
    Connections {
        target: area.parent
        function onActiveFocusChanged() {
            if (area.parent.activeFocus)
                area.forceActiveFocus()
        }
    }
    FocusRing {
        parent: area.parent
        target: area.parent
        focusItem: area
    }
    Shortcut {
        sequence: area.shortcut
        enabled: area.shortcut !== "" && area.shortcutEnabled && area.visible && area.enabled
        onActivated: area.clicked(null)
    }
    ToolTip.visible: toolTip !== "" && containsMouse
    ToolTip.delay: 600
    ToolTip.text: toolTip
}
