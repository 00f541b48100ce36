// The software's version and where to find support.
import QtQuick 2.15
import "../assembly"

FullPage {
    id: root
    readonly property string supportUrl: "https://velko.example.com/support"
    signal sigHideAbout(string state)

    IconButton {
        objectName: "backButton"
        x: 60
        y: 9
        source: "qrc:/images/back.svg"
        onClicked: root.sigHideAbout("hide_about")
    }
    Column {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 180
        spacing: 22
        Image {
            anchors.horizontalCenter: parent.horizontalCenter
            source: "qrc:/images/logo.svg"
            sourceSize: Qt.size(90, 90)
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            color: "#e6ebf2"
            font.pixelSize: 24
            text: qsTr("Software")
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            color: "#c9d1dc"
            font.pixelSize: 16
            text: qsTr("Software version：1.0.0")
        }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            Text {
                color: "#c9d1dc"
                font.pixelSize: 16
                text: qsTr("URL：")
            }
            Text {
                objectName: "supportLink"
                color: "#4a93f0"
                font.pixelSize: 16
                font.underline: linkArea.containsMouse
                text: root.supportUrl
                MouseArea {
                    id: linkArea
                    anchors.fill: parent
                    hoverEnabled: true
                    cursorShape: Qt.PointingHandCursor
                    onClicked: Qt.openUrlExternally(root.supportUrl)
                }
            }
        }
    }
}
