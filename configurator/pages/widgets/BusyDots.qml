// Three dots lighting up in turn while something is under way.
import QtQuick 2.15
import an.utility 1.0

Row {
    id: root
    property int lit: 0
    spacing: 10
    Repeater {
        model: 3
        Rectangle {
            width: 10
            height: 10
            radius: 5
            color: index === root.lit ? Palette.accent : Palette.line
        }
    }
    Timer {
        running: root.visible
        repeat: true
        interval: 400
        onTriggered: root.lit = (root.lit + 1) % 3
    }
}
