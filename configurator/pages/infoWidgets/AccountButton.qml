// The filled button of the account pages.
import QtQuick 2.15
import an.utility 1.0
import QtQuick.Controls 2.15
import "../assembly"

Button {
    id: button
    width: 300
    height: 38
    font.pixelSize: 15
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()
    contentItem: Text {
        text: button.text
        font: button.font
        color: Palette.onAccent
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
    background: Rectangle {
        radius: 4
        color: !button.enabled ? "#b8c4d6" : button.down ? Palette.accentPressed : button.hovered ? Palette.accentHover : Palette.accent
    }
    FocusRing {
        radius: 7
    }
}
