// The back arrow of the account pages.
import QtQuick 2.15
import an.utility 1.0
import QtQuick.Controls 2.15
import "../assembly"

ToolButton {
    id: back
    width: 36
    height: 36
    icon.source: "qrc:/images/account/back.svg"
    icon.color: Palette.formMuted
    icon.width: 20
    icon.height: 20
    Accessible.name: qsTr("Back")
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()
    background: Rectangle {
        radius: 18
        color: back.down ? "#dde3ea" : back.hovered ? "#eef1f5" : "transparent"
    }
    FocusRing {
        radius: 21
    }
}
