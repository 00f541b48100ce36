// The choice of the mouse model; one model is selected at a time.
import QtQuick 2.15
import an.utility 1.0
import "../assembly"

FullPage {
    id: root
    property string selectedModel: rules.initialModel("")
    signal sigVersionClicked(string version)

    // Selects `stored`, or the first model when it names none.
    function f_selectModel(stored) {
        selectedModel = rules.initialModel(stored)
    }

    AssignmentRules { id: rules }

    Text {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 110
        color: "#e6ebf2"
        font.pixelSize: 26
        text: qsTr("Choose the version")
    }
    Grid {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 190
        columns: 3
        spacing: 24
        Repeater {
            model: rules.models()
            Rectangle {
                objectName: "model_" + modelData
                width: 200
                height: 150
                radius: 10
                color: area.containsMouse ? "#2e3440" : "#262b34"
                border.width: 2
                border.color: root.selectedModel === modelData ? "#2f80ed" : "#3a4250"
                Image {
                    anchors.horizontalCenter: parent.horizontalCenter
                    y: 14
                    source: rules.isEightKeyModel(modelData) ? "qrc:/images/mouse8.svg"
                                                             : "qrc:/images/mouse7.svg"
                    sourceSize: Qt.size(52, 86)
                }
                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    y: 112
                    color: root.selectedModel === modelData ? "#4a93f0" : "#e6ebf2"
                    font.pixelSize: 17
                    text: modelData
                }
                MouseArea {
                    id: area
                    anchors.fill: parent
                    hoverEnabled: true
                    onClicked: root.selectedModel = modelData
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
