// Where the desktop has no tray, the tray menu's actions under the title bar's
// menu button: export and import of the settings, and exit. A choice closes the
// panel first.
import QtQuick 2.15
import an.utility 1.0
import "../infoWidgets"

PanelCover {
    id: cover
    signal sigExport()
    signal sigImport()
    signal sigExit()

    Rectangle {
        objectName: "windowMenu"
        x: cover.panelAnchor.x - width
        y: cover.panelAnchor.y
        width: 200
        height: actions.height + 30
        radius: 6
        color: Palette.chip
        border.color: Palette.line
        MouseArea { // clicks between the buttons stay on the panel
            anchors.fill: parent
        }
        Column {
            id: actions
            anchors.centerIn: parent
            spacing: 8
            Repeater {
                // The tray menu's texts.
                model: [{name: "exportButton", text: qsTranslate("main", "Export settings..."),
                         signalName: "sigExport"},
                        {name: "importButton", text: qsTranslate("main", "Import settings..."),
                         signalName: "sigImport"},
                        {name: "exitButton", text: qsTranslate("main", "exit"), signalName: "sigExit"}]
                AccountButton {
                    objectName: modelData.name
                    width: 170
                    height: 38
                    text: modelData.text
                    onClicked: {
                        cover.close()
                        cover[modelData.signalName]()
                    }
                }
            }
        }
    }
}
