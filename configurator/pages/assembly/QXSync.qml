// The sync panel under the title bar's "Sync" button.
import QtQuick 2.15
import an.utility 1.0
import "../infoWidgets"

Rectangle {
    id: panel
    width: 180
    height: 108
    radius: 6
    color: Palette.chip
    border.color: Palette.line

    signal sigUpload()
    signal sigDownload()

    Column {
        anchors.centerIn: parent
        spacing: 8
        AccountButton {
            objectName: "uploadButton"
            width: 150
            height: 38
            text: qsTr("Upload set")
            onClicked: panel.sigUpload()
        }
        AccountButton {
            objectName: "downloadButton"
            width: 150
            height: 38
            text: qsTr("Download set")
            onClicked: panel.sigDownload()
        }
    }
}
