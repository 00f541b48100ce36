// The detail panel of a key function that takes a text: a web address, or the
// path of a file, folder, program or sound, which an add button can also fill
// from a chooser. Only the user's own edits in the shown panel are reported
// (edited); load() puts a stored value or a chooser's answer in without
// reporting it. A hidden panel gives its focus up, so stray typing elsewhere
// never lands in it.
import QtQuick 2.15
import an.utility 1.0
import QtQuick.Controls 2.15

Item {
    id: textPanel

    property int panel: 1 // the list index whose panel this is
    property bool hasAdd: false
    property alias text: input.text

    signal edited(int panel, string text)
    signal addClicked(int panel)

    function load(value) {
        input.text = value
    }
    function takeFocus() {
        if (textPanel.visible)
            input.forceActiveFocus()
    }

    onVisibleChanged: if (!visible) input.focus = false

    x: 326
    y: 56
    width: 238
    height: 40

    TextField {
        id: input
        objectName: "input"
        anchors.left: parent.left
        anchors.right: add.visible ? add.left : parent.right
        anchors.rightMargin: add.visible ? 8 : 0
        height: 36
        selectByMouse: true
        placeholderText: textPanel.panel === 1 ? qsTr("Enter a web address")
                                               : qsTr("Type a path or press +")
        Accessible.name: placeholderText
        onTextEdited: if (textPanel.visible && activeFocus)
                          textPanel.edited(textPanel.panel, text)
        ToolTip.text: input.text
        ToolTip.visible: input.hovered && input.contentWidth > input.availableWidth
        ToolTip.delay: 600
    }
    Button {
        id: add
        objectName: "add"
        anchors.right: parent.right
        width: 36
        height: 36
        visible: textPanel.hasAdd
        text: qsTr("Add")
        display: AbstractButton.IconOnly
        icon.source: "qrc:/images/ability/add.svg"
        icon.color: Palette.onAccent
        background: Rectangle {
            radius: 4
            color: add.down ? Palette.accentPressed : add.hovered ? Palette.accentHover : Palette.accent
        }
        onClicked: textPanel.addClicked(textPanel.panel)
    }
}
