// The choice of the mouse model; one model is selected at a time.
import QtQuick 2.15
import an.utility 1.0
import "../assembly"

FullPage {
    id: root
    property string selectedModel: rules.initialModel("")
    // Opened to change the stored model: Esc or the back button leaves it unchanged.
    property bool canGoBack: false
    signal sigVersionClicked(string version)

    Keys.onEscapePressed: if (canGoBack) root.sigVersionClicked("hide_choose")
    IconButton {
        objectName: "backButton"
        visible: root.canGoBack
        x: 60
        y: 9
        source: "qrc:/images/back.svg"
        name: qsTr("Back")
        onClicked: root.sigVersionClicked("hide_choose")
    }

    // Selects `stored`, or the first model when it names none.
    function f_selectModel(stored) {
        selectedModel = rules.initialModel(stored)
    }

    AssignmentRules { id: rules }

    // Selects and focuses the model `by` places from the one at `from`.
    function step(from, by) {
        var to = from + by
        if (to < 0 || to >= tiles.count)
            return
        selectedModel = tiles.model[to]
        tiles.itemAt(to).forceActiveFocus(Qt.TabFocusReason) // handed on to its area
    }

    PageText {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 110
        color: Palette.text
        font.pixelSize: 26
        text: qsTr("Choose the version")
    }
    Grid {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 190
        columns: 3
        spacing: 24
        Repeater {
            id: tiles
            model: rules.models()
            Rectangle {
                id: tile
                objectName: "model_" + modelData
                width: 200
                height: 150
                radius: 10
                color: area.containsMouse ? Palette.panelHover : Palette.panel
                border.width: 2
                border.color: root.selectedModel === modelData ? Palette.accent : Palette.line
                Image {
                    anchors.horizontalCenter: parent.horizontalCenter
                    y: 14
                    source: rules.isEightKeyModel(modelData) ? "qrc:/images/mouse8.svg"
                                                             : "qrc:/images/mouse7.svg"
                    sourceSize: Qt.size(52, 86)
                    Accessible.ignored: true
                }
                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    y: 112
                    color: root.selectedModel === modelData ? Palette.linkOnDark : Palette.text
                    font.pixelSize: 17
                    Accessible.ignored: true
                    text: modelData
                }
                // A group of radio buttons: Tab reaches each model, Space or Enter
                // selects it, the arrow keys select the one beside it.
                ClickArea {
                    id: area
                    anchors.fill: parent
                    role: Accessible.RadioButton
                    name: modelData
                    checked: root.selectedModel === modelData
                    onClicked: root.selectedModel = modelData
                    Keys.onLeftPressed: root.step(index, -1)
                    Keys.onUpPressed: root.step(index, -3)
                    Keys.onRightPressed: root.step(index, 1)
                    Keys.onDownPressed: root.step(index, 3)
                }
            }
        }
    }
    PushButton {
        objectName: "confirmButton"
        anchors.horizontalCenter: parent.horizontalCenter
        y: 580
        text: qsTr("Confirm")
        onClicked: root.sigVersionClicked("version_confirm")
    }
}
