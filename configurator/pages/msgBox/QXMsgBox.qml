// A question with "Cancel" and "Sure" (or another answer in `sureText`), and a
// third answer when `extraText` is set.
import QtQuick 2.15
import an.utility 1.0
import "../assembly"

Rectangle {
    id: root
    property alias title: titleText.text
    property alias text: bodyText.text
    property alias sureText: sureButton.text
    property string extraText: ""
    signal sigCancleClicked()
    signal sigSureClicked()
    signal sigExtraClicked()

    Accessible.role: Accessible.Dialog
    Accessible.name: title
    Accessible.description: text
    // Shown, the box has the keyboard on its main answer (made shown by a
    // BoxLoader, which calls this).
    function takeKeyboard() {
        sureButton.forceActiveFocus(Qt.OtherFocusReason)
    }
    onVisibleChanged: if (visible) takeKeyboard()
    Keys.onEscapePressed: sigCancleClicked()
    readonly property bool keepsKeyboard: true // Tab goes round it

    width: extraText !== "" ? 460 : 400
    height: 220
    radius: 8
    color: Palette.panel
    border.color: Palette.line

    Text {
        id: titleText
        x: 24
        y: 20
        color: Palette.text
        font.pixelSize: 18
        font.bold: true
    }
    Text {
        id: bodyText
        x: 24
        y: 64
        width: parent.width - 48
        wrapMode: Text.WordWrap
        color: Palette.textSecondary
        font.pixelSize: 14
        lineHeight: 1.3
    }
    Row {
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 20
        spacing: 12
        PushButton {
            objectName: "cancelButton"
            primary: false
            text: qsTr("Cancel")
            onClicked: root.sigCancleClicked()
        }
        PushButton {
            objectName: "extraButton"
            primary: false
            visible: root.extraText !== ""
            text: root.extraText
            onClicked: root.sigExtraClicked()
        }
        PushButton {
            id: sureButton
            objectName: "sureButton"
            text: qsTr("Sure")
            onClicked: root.sigSureClicked()
        }
    }
}
