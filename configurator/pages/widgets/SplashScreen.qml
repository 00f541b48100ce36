// Shown at start until the receiver has been looked for once.
import QtQuick 2.15

Rectangle {
    color: "#1f232b"
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
        color: "#e6ebf2"
        font.pixelSize: 24
        text: qsTr("     Welcome to the Nardi driver")
    }
}
