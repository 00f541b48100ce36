// The program selector above the mouse picture: "All programs" and one entry per
// program the user added, the selected one lit; the selected program can be
// removed (after the page's question); "Add program" offers the programs with a window open and a chooser
// for a program file, and says where the program in front cannot be known (with
// a way to turn that on where the desktop has one). The selector type keeps the
// state and the rules.
import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Window 2.15
import Qt.labs.platform 1.1 as Platform
import an.utility 1.0
import "../assembly"
import "../assembly/focus.js" as Focus

Item {
    id: bar

    readonly property alias selector: selector
    // Why a program was not added.
    signal sigRefused(string text)
    // The user asked to remove a program (the page asks before it is removed).
    signal sigRemoveRequested(int section, string name)

    height: 34

    ProgramSelector {
        id: selector
        objectName: "programSelector"
        onSigRefused: bar.sigRefused(text)
    }
    AssignmentRules { id: rules }

    function iconOf(entry) {
        if (entry.section === 0)
            return "qrc:/images/allprograms.svg"
        return entry.icon !== "" ? entry.icon : "qrc:/images/program.svg"
    }
    function openAddMenu() {
        selector.refreshCandidates()
        addPopup.open()
    }
    function chooseFile() {
        addPopup.close()
        fileDialog.nameFilters = rules.chooserFilters(4)
        fileDialog.folder = rules.chooserFolder(4)
        fileDialog.open()
    }

    Row {
        id: row
        anchors.horizontalCenter: parent.horizontalCenter
        height: parent.height
        spacing: 8

        ListView {
            id: chips
            objectName: "programChips"
            orientation: ListView.Horizontal
            height: parent.height
            // Room at both ends for the focus ring (3 px outside a chip), which the
            // clip would cut off.
            leftMargin: 3
            rightMargin: 3
            width: Math.min(contentWidth + leftMargin + rightMargin,
                            bar.width - addChip.width - row.spacing)
            spacing: 8
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            model: selector.entries
            ScrollBar.horizontal: chipScroll

            // Where more programs were added than the bar shows, the wheel (and a
            // touchpad's sideways swipe) moves along them, and the selected one and
            // the one with the keyboard's focus are brought into view.
            function scrollBy(dx) {
                contentX = Math.max(originX - leftMargin,
                                    Math.min(originX + contentWidth + rightMargin - width,
                                             contentX + dx))
            }
            // The chip and the room for its ring.
            function bringIntoView(i) {
                positionViewAtIndex(i, ListView.Contain)
                var chip = itemAtIndex(i)
                if (!chip)
                    return
                if (chip.x - leftMargin < contentX)
                    scrollBy(chip.x - leftMargin - contentX)
                else if (chip.x + chip.width + rightMargin > contentX + width)
                    scrollBy(chip.x + chip.width + rightMargin - contentX - width)
            }
            function showSection(section) {
                for (var i = 0; i < count; ++i)
                    if (model[i].section === section)
                        bringIntoView(i)
            }
            // The arrow keys move along the bar as in a group of radio buttons:
            // the next program is selected (which brings it into view) and takes
            // the focus.
            function step(i, by) {
                var j = i + by
                if (j < 0 || j >= count)
                    return
                selector.select(model[j].section)
                var next = itemAtIndex(j)
                if (next)
                    next.area.forceActiveFocus(Qt.TabFocusReason)
            }
            onCountChanged: showSection(selector.selectedSection)
            Connections {
                target: selector
                function onSelectionChanged() { chips.showSection(selector.selectedSection) }
            }
            WheelHandler {
                onWheel: chips.scrollBy(-(event.angleDelta.y !== 0 ? event.angleDelta.y
                                                                   : event.angleDelta.x))
            }
            delegate: Rectangle {
                id: chip
                objectName: "programChip_" + modelData.section
                readonly property bool selected: modelData.section === selector.selectedSection
                readonly property alias area: chipArea
                width: chipRow.width + 24
                height: 34
                radius: 17
                color: selected ? Palette.accent : chipArea.containsMouse ? Palette.line : Palette.chip
                ClickArea {
                    id: chipArea
                    anchors.fill: parent
                    cursorShape: Qt.PointingHandCursor
                    role: Accessible.RadioButton
                    name: modelData.name
                    checked: chip.selected
                    onClicked: selector.select(modelData.section)
                    onActiveFocusChanged: if (activeFocus) chips.bringIntoView(index)
                    Keys.onLeftPressed: chips.step(index, -1)
                    Keys.onRightPressed: chips.step(index, 1)
                }
                Row {
                    id: chipRow
                    x: 12
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 6
                    Image {
                        anchors.verticalCenter: parent.verticalCenter
                        width: 18
                        height: 18
                        sourceSize: Qt.size(18, 18)
                        source: bar.iconOf(modelData)
                        Accessible.ignored: true
                    }
                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        width: Math.min(implicitWidth, 160)
                        elide: Text.ElideRight
                        color: Palette.text
                        font.pixelSize: 14
                        text: modelData.name
                    }
                    // Only the selected program can be removed.
                    Rectangle {
                        objectName: "removeProgram"
                        visible: chip.selected && modelData.section > 0
                        anchors.verticalCenter: parent.verticalCenter
                        width: 18
                        height: 18
                        radius: 9
                        color: removeArea.containsMouse ? Palette.accentPressed : "transparent"
                        Image {
                            anchors.centerIn: parent
                            width: 10
                            height: 10
                            sourceSize: Qt.size(10, 10)
                            source: "qrc:/images/close.svg"
                        }
                        ClickArea {
                            id: removeArea
                            anchors.fill: parent
                            cursorShape: Qt.PointingHandCursor
                            name: qsTr("Remove %1").arg(modelData.name)
                            onClicked: bar.sigRemoveRequested(modelData.section, modelData.name)
                        }
                        ToolTip.visible: removeArea.containsMouse
                        ToolTip.delay: 500
                        ToolTip.text: qsTr("Remove this program")
                    }
                }
            }
        }

        Rectangle {
            id: addChip
            objectName: "addProgram"
            width: addRow.width + 24
            height: 34
            radius: 17
            color: "transparent"
            border.color: addArea.containsMouse ? Palette.linkOnDark : Palette.line
            Row {
                id: addRow
                x: 12
                anchors.verticalCenter: parent.verticalCenter
                spacing: 6
                Image {
                    anchors.verticalCenter: parent.verticalCenter
                    width: 14
                    height: 14
                    sourceSize: Qt.size(14, 14)
                    source: "qrc:/images/ability/add.svg"
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    color: Palette.text
                    font.pixelSize: 14
                    text: qsTr("Add program")
                }
            }
            ClickArea {
                id: addArea
                anchors.fill: parent
                cursorShape: Qt.PointingHandCursor
                name: qsTr("Add program")
                onClicked: bar.openAddMenu()
            }
        }
    }

    // Shown only where the programs do not fit the bar.
    ScrollBar {
        id: chipScroll
        objectName: "programScroll"
        orientation: Qt.Horizontal
        x: row.x + chips.x + chips.leftMargin
        y: bar.height + 3
        width: chips.width - chips.leftMargin - chips.rightMargin
        policy: chips.contentWidth > chips.width ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
    }

    Popup {
        id: addPopup
        objectName: "addProgramPopup"
        focus: true
        x: Math.min(row.x + addChip.x, bar.width - width)
        y: bar.height + 6
        width: 300
        padding: 8
        // The keyboard starts on the first entry; Up and Down move as in a menu,
        // and it is back on "Add program" once the menu closes.
        onOpened: Focus.first(contentItem)
        onClosed: addArea.forceActiveFocus()
        background: Rectangle {
            radius: 8
            color: Palette.panel
            border.color: Palette.line
        }
        contentItem: Column {
            spacing: 4
            Keys.onUpPressed: Focus.move(this, Window.activeFocusItem, false)
            Keys.onDownPressed: Focus.move(this, Window.activeFocusItem, true)
            // Where the program in front cannot be known, sets would never apply.
            PageText {
                objectName: "detectionNotice"
                visible: text !== ""
                width: parent.width
                leftPadding: 6
                rightPadding: 6
                bottomPadding: 4
                color: Palette.text
                font.pixelSize: 13
                wrapMode: Text.WordWrap
                text: selector.detectionNotice
            }
            Rectangle {
                objectName: "enableDetection"
                visible: selector.canEnableDetection
                width: parent.width
                height: 32
                radius: 4
                color: enableArea.containsMouse ? Palette.line : "transparent"
                Text {
                    x: 6
                    anchors.verticalCenter: parent.verticalCenter
                    color: Palette.linkOnDark
                    font.pixelSize: 14
                    text: qsTr("Enable the extension")
                }
                ClickArea {
                    id: enableArea
                    objectName: "enableDetectionArea"
                    anchors.fill: parent
                    role: Accessible.MenuItem
                    name: qsTr("Enable the extension")
                    onClicked: selector.enableDetection()
                }
            }
            Text {
                width: parent.width
                leftPadding: 6
                color: Palette.textMuted
                font.pixelSize: 13
                text: selector.candidates.length > 0 ? qsTr("Programs with a window open")
                                                     : qsTr("No other program has a window open")
                wrapMode: Text.WordWrap
            }
            ListView {
                id: candidateList
                objectName: "candidates"
                width: parent.width
                // Room round the entries for the focus ring, which the clip would
                // cut off.
                leftMargin: 3
                rightMargin: 3
                topMargin: 3
                bottomMargin: 3
                height: Math.min(contentHeight + topMargin + bottomMargin, 240)
                clip: true
                boundsBehavior: Flickable.StopAtBounds
                keyNavigationEnabled: false // Up and Down move the focus, above
                model: selector.candidates
                ScrollBar.vertical: ScrollBar {}
                delegate: Rectangle {
                    width: candidateList.width - candidateList.leftMargin - candidateList.rightMargin
                    height: 32
                    radius: 4
                    color: candidateArea.containsMouse ? Palette.line : "transparent"
                    Row {
                        x: 6
                        anchors.verticalCenter: parent.verticalCenter
                        spacing: 8
                        Image {
                            anchors.verticalCenter: parent.verticalCenter
                            width: 20
                            height: 20
                            sourceSize: Qt.size(20, 20)
                            source: modelData.icon !== "" ? modelData.icon : "qrc:/images/program.svg"
                        }
                        Text {
                            anchors.verticalCenter: parent.verticalCenter
                            width: candidateList.width - 50
                            elide: Text.ElideRight
                            color: Palette.text
                            font.pixelSize: 14
                            text: modelData.name
                        }
                    }
                    ClickArea {
                        id: candidateArea
                        anchors.fill: parent
                        role: Accessible.MenuItem
                        name: modelData.name
                        onClicked: {
                            addPopup.close()
                            selector.addProgram(modelData.program, modelData.name)
                        }
                    }
                }
            }
            Rectangle {
                objectName: "chooseProgramFile"
                width: parent.width
                height: 32
                radius: 4
                color: fileArea.containsMouse ? Palette.line : "transparent"
                Text {
                    x: 6
                    anchors.verticalCenter: parent.verticalCenter
                    color: Palette.linkOnDark
                    font.pixelSize: 14
                    text: qsTr("Choose a program file...")
                }
                ClickArea {
                    id: fileArea
                    anchors.fill: parent
                    role: Accessible.MenuItem
                    name: qsTr("Choose a program file...")
                    onClicked: bar.chooseFile()
                }
            }
        }
    }

    Platform.FileDialog {
        id: fileDialog
        objectName: "programFileDialog"
        title: qsTr("Choose a program")
        fileMode: Platform.FileDialog.OpenFile
        onAccepted: selector.addProgramFile(file)
    }
}
