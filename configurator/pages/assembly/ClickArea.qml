// A mouse area that the keyboard and screen readers can use too: Tab reaches it,
// Enter or Space clicks it, and it is read as a button (or `role`) with its name.
// The focus ring goes round the item the area lies on.
import QtQuick 2.15

MouseArea {
    id: area
    property string name: ""
    property string description: ""
    property int role: Accessible.Button
    property bool checked: false // read for radio buttons and check boxes

    hoverEnabled: true
    activeFocusOnTab: true
    Keys.onReturnPressed: area.clicked(null)
    Keys.onEnterPressed: area.clicked(null)
    Keys.onSpacePressed: area.clicked(null)
    Accessible.role: role
    Accessible.name: name
    Accessible.description: description
    Accessible.focusable: true
    Accessible.checkable: role === Accessible.RadioButton || role === Accessible.CheckBox
    Accessible.checked: checked
    Accessible.onPressAction: area.clicked(null)

    FocusRing {
        parent: area.parent
        target: area.parent
        focusItem: area
    }
}
