// Shown at start until the receiver has been looked for once.
import QtQuick 2.15
import an.utility 1.0

Rectangle {
    color: Palette.page
    Row {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 220
        spacing: 40
        Repeater {
            model: ["qrc:/images/splash1.svg", "qrc:/images/splash2.svg",
                "qrc:/images/splash3.svg"]
            Image { source: modelData }
        }
    }
    Text {
        objectName: "welcomeText"
        anchors.horizontalCenter: parent.horizontalCenter
        y: 400
        color: Palette.text
        font.pixelSize: 24
        text: qsTr("     Welcome to the Nardi driver")
    }
}
