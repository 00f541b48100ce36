// A notice with a title, a wrapped centred text and "Sure".
import QtQuick 2.15
import an.utility 1.0
import "../assembly"

Rectangle {
    id: root
    property alias title: titleText.text
    property alias text: bodyText.text
    signal sigVerConfirmClicked()

    Accessible.role: Accessible.Dialog
    Accessible.name: title
    Accessible.description: text
    // Shown, the box has the keyboard on its main answer (made shown by a
    // BoxLoader, which calls this).
    function takeKeyboard() {
        sureButton.forceActiveFocus(Qt.OtherFocusReason)
    }
    onVisibleChanged: if (visible) takeKeyboard()
    readonly property bool keepsKeyboard: true // Tab goes round it

    width: 231
    height: 253
    radius: 8
    color: Palette.panel
    border.color: Palette.line

    Text {
        id: titleText
        objectName: "confirmTitle"
        anchors.horizontalCenter: parent.horizontalCenter
        y: 28
        color: Palette.text
        font.pixelSize: 22
        font.bold: true
    }
    Text {
        id: bodyText
        anchors.horizontalCenter: parent.horizontalCenter
        y: 80
        width: parent.width - 36
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.WordWrap
        color: Palette.textSecondary
        font.pixelSize: 14
        lineHeight: 1.3
    }
    PushButton {
        id: sureButton
        objectName: "sureButton"
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 24
        text: qsTr("Sure")
        onClicked: root.sigVerConfirmClicked()
    }
}
