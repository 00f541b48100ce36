// One pointer speed of the speed panel: its label, a slider from 1 to 20 and
// the value. `moved` reports the user's moves only; load() sets a stored speed
// (0 leaves the slider where it is) without reporting it.
import QtQuick 2.15
import an.utility 1.0
import QtQuick.Controls 2.15

Row {
    id: row

    property alias label: caption.text
    property alias slider: slider
    readonly property int value: Math.round(slider.value)

    signal moved(int value)

    function load(speed) {
        if (speed > 0)
            slider.value = speed
    }

    spacing: 6

    Text {
        id: caption
        width: 40
        height: 32
        verticalAlignment: Text.AlignVCenter
        font.pixelSize: 13
        color: Palette.listText
    }
    Slider {
        id: slider
        width: 160
        from: 1
        to: 20
        stepSize: 1
        snapMode: Slider.SnapAlways
        Accessible.name: row.label
        onMoved: row.moved(row.value)
    }
    Text {
        width: 24
        height: 32
        verticalAlignment: Text.AlignVCenter
        text: row.value
        font.pixelSize: 13
        color: Palette.listSelectedText
    }
}
