// The software's version and where to find support.
import QtQuick 2.15
import an.utility 1.0
import "../assembly"

FullPage {
    id: root
    readonly property string supportUrl: "https://velko.example.com/support"
    signal sigHideAbout(string state)

    Keys.onEscapePressed: root.sigHideAbout("hide_about")

    IconButton {
        objectName: "backButton"
        x: 60
        y: 9
        source: "qrc:/images/back.svg"
        name: qsTr("Back")
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
        PageText {
            anchors.horizontalCenter: parent.horizontalCenter
            color: Palette.text
            font.pixelSize: 24
            text: qsTr("Software")
        }
        PageText {
            anchors.horizontalCenter: parent.horizontalCenter
            color: Palette.textSecondary
            font.pixelSize: 16
            text: qsTr("Software version：1.0.0")
        }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            PageText {
                color: Palette.textSecondary
                font.pixelSize: 16
                text: qsTr("URL：")
            }
            Text {
                objectName: "supportLink"
                color: Palette.linkOnDark
                font.pixelSize: 16
                font.underline: linkArea.containsMouse
                text: root.supportUrl
                ClickArea {
                    id: linkArea
                    anchors.fill: parent
                    cursorShape: Qt.PointingHandCursor
                    role: Accessible.Link
                    name: root.supportUrl
                    onClicked: Qt.openUrlExternally(root.supportUrl)
                }
            }
        }
    }
}
