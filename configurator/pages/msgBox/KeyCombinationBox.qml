// The key combination of one control: the keys pressed while a field has the
// focus are written in it ("Ctrl+Shift+T"; pressed again, they follow as a
// sequence), or the combination is typed below it. A wheel has a field for each
// direction. Esc cancels; "Clear" empties a field. The box only answers
// (sigAccepted with the texts, sigCanceled); the main page stores them.
import QtQuick 2.15
import QtQuick.Controls 2.15
import an.utility 1.0
import "../assembly"

Rectangle {
    id: root
    // Two fields for a wheel ("up", "down"), one for a key.
    property bool wheel: false
    readonly property bool usable: upRecorder.usable && (!wheel || downRecorder.usable)
    property Item upField: null
    signal sigAccepted(var texts)
    signal sigCanceled()

    // Opens the box with the control's current texts (none for a new one).
    function start(texts) {
        upRecorder.clear()
        downRecorder.clear()
        if (texts.length > 0)
            upRecorder.setText(texts[0])
        if (wheel && texts.length > 1)
            downRecorder.setText(texts[1])
        upField.forceActiveFocus()
    }
    function accept() {
        if (!usable)
            return
        sigAccepted(wheel ? [upRecorder.text, downRecorder.text] : [upRecorder.text])
    }

    width: 460
    height: wheel ? 360 : 240
    radius: 8
    color: Palette.panel
    border.color: Palette.line

    Keys.onEscapePressed: root.sigCanceled()
    readonly property bool keepsKeyboard: true // Tab goes round it

    KeyRecorder { id: upRecorder; objectName: "upRecorder" }
    KeyRecorder { id: downRecorder; objectName: "downRecorder" }

    PageText {
        x: 24
        y: 20
        color: Palette.text
        font.pixelSize: 18
        font.bold: true
        text: qsTr("Key combination")
    }

    Column {
        x: 24
        y: 60
        width: parent.width - 48
        spacing: 6
        Repeater {
            model: root.wheel ? 2 : 1
            delegate: Column {
                id: row
                readonly property var recorder: index === 0 ? upRecorder : downRecorder
                width: parent.width
                spacing: 4
                PageText {
                    visible: root.wheel
                    color: Palette.textSecondary
                    font.pixelSize: 13
                    text: index === 0 ? qsTr("Wheel up") : qsTr("Wheel down")
                }
                Row {
                    spacing: 8
                    // Takes every key while it has the focus, but Esc (cancels) and
                    // Tab on its own (moves on).
                    Rectangle {
                        id: field
                        objectName: index === 0 ? "upField" : "downField"
                        width: 300
                        height: 32
                        radius: 4
                        color: Palette.fieldDark
                        border.color: activeFocus ? Palette.focusRing : Palette.line
                        activeFocusOnTab: true
                        Component.onCompleted: if (index === 0) root.upField = field
                        PageText {
                            anchors.fill: parent
                            anchors.leftMargin: 10
                            verticalAlignment: Text.AlignVCenter
                            elide: Text.ElideRight
                            font.pixelSize: 14
                            color: row.recorder.text !== "" ? Palette.text : Palette.textMuted
                            text: row.recorder.text !== "" ? row.recorder.text
                                  : qsTr("Press the keys")
                        }
                        MouseArea {
                            anchors.fill: parent
                            onClicked: field.forceActiveFocus()
                        }
                        Keys.onPressed: {
                            if (event.key === Qt.Key_Escape) {
                                root.sigCanceled()
                            } else if (event.key === Qt.Key_Tab && event.modifiers === Qt.NoModifier) {
                                return // focus moves on
                            } else if (event.key === Qt.Key_Return && event.modifiers === Qt.NoModifier) {
                                root.accept()
                            } else if (!row.recorder.keyPressed(event.key, event.modifiers,
                                                                event.nativeScanCode)) {
                                return
                            }
                            event.accepted = true
                        }
                        Keys.onReleased: row.recorder.keyReleased(event.key)
                        // Shift+Tab is a combination to record here, not a way back.
                        Keys.onShortcutOverride: event.accepted = event.key === Qt.Key_Backtab
                    }
                    PushButton {
                        objectName: index === 0 ? "upClear" : "downClear"
                        primary: false
                        text: qsTr("Clear")
                        onClicked: {
                            row.recorder.clear()
                            typed.text = ""
                            field.forceActiveFocus()
                        }
                    }
                }
                TextField {
                    id: typed
                    objectName: index === 0 ? "upTyped" : "downTyped"
                    width: 300
                    placeholderText: qsTr("or type it: Ctrl+Shift+T")
                    selectByMouse: true
                    onTextEdited: row.recorder.setText(text)
                    Keys.onReturnPressed: root.accept()
                    Keys.onEscapePressed: root.sigCanceled()
                }
            }
        }
        PageText {
            objectName: "problem"
            width: parent.width
            wrapMode: Text.WordWrap
            color: Palette.errorOnDark
            font.pixelSize: 13
            text: upRecorder.problem !== "" ? upRecorder.problem : downRecorder.problem
        }
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
            onClicked: root.sigCanceled()
        }
        PushButton {
            objectName: "sureButton"
            text: qsTr("Sure")
            enabled: root.usable
            opacity: enabled ? 1 : 0.5
            onClicked: root.accept()
        }
    }
}
