// The function list of one mouse key (middle, right, front or back side key)
// with the detail panels of the functions that take a parameter: a web
// address, a file, a folder, a program, a sound, or the two pointer speeds.
// The page only reports what the user picks and edits (sigSelItemIndex,
// sigUsrIndexUrl, sigUsrSpeed); the main page stores it. Stored values are
// loaded into the panels without being reported.
import QtQuick 2.15
import "../assembly"
import QtQuick.Controls 2.15
import "../assembly/focus.js" as Focus
import Qt.labs.platform 1.1 as Platform
import Operate.Conf.OpFunConfFile 1.0
import an.utility 1.0

Item {
    id: keyPage

    property int itemCount: 0
    property string titleText: ""
    property int usrCurrentIndex: -1
    // The detail panel on show (1 to 6), 0 for none.
    property int panelIndex: 0
    // A program set is edited: the list begins with "Same as all programs",
    // marked while the set leaves this key to all programs' assignment.
    property bool programSet: false
    property bool sameSelected: false
    // The key plays a key combination of its own; "Key combination..." is marked.
    property bool combinationSelected: false

    signal sigSelItemIndex(int itemIndex, string itemName)
    signal sigUsrIndexUrl(int index, string fileUrl)
    signal sigUsrSpeed(int speedType, int speed)
    // The user picked "Same as all programs".
    signal sigSameAsAll()
    // The user picked "Key combination...": the main page asks for the keys.
    signal sigCombinationRequested()

    // Esc asks the main page to close the list.
    signal sigCloseRequested()

    // The list takes the keyboard: the arrow keys, Home, End and a first letter
    // move, Enter picks, Esc closes; Tab goes round this list and its panel.
    function takeKeyboard() {
        Focus.takeList(list, keyPage.usrCurrentIndex)
    }
    Keys.onEscapePressed: sigCloseRequested()
    readonly property bool keepsKeyboard: true // Tab goes round it

    width: 310
    height: 460

    function getIndexName(pIndex) {
        pIndex = Number(pIndex)
        return pIndex >= 0 && pIndex < listModel.count ? listModel.get(pIndex).issueName : ""
    }

    function markItem(pIndex) {
        combinationSelected = false
        for (var i = 0; i < listModel.count; ++i)
            listModel.setProperty(i, "isSelectItem", i === pIndex ? "pressed" : "normal")
    }

    // The key's combination (`text`) shown as its state.
    function showCombination(text) {
        markItem(-1)
        sameSelected = false
        combinationSelected = true
        titleText = text
        usrCurrentIndex = -1
        proUsrSelInput(-1)
    }

    function keyIsSelectItem(pIndex, tag) {
        pIndex = Number(pIndex) // stored entries hand the index over as text
        if (pIndex < 0 || pIndex >= listModel.count)
            return
        sameSelected = false
        markItem(pIndex)
        titleText = getIndexName(pIndex)
        usrCurrentIndex = pIndex
        proUsrSelInput(pIndex)
        proDataFromIni(pIndex, tag)
    }

    function proUsrSelInput(pIndex) {
        pIndex = Number(pIndex)
        panelIndex = rules.panelFor(pIndex)
        width = rules.pageWidth(pIndex)
    }

    function proDataFromIni(pIndex, tag) {
        pIndex = Number(pIndex)
        var panel = rules.panelFor(pIndex)
        var getter = rules.getterName(tag, pIndex, 0)
        if (getter === "" || panel !== panelIndex) // only the shown panel is made
            return
        conf.syncMouseIni()
        if (panel === 6) {
            speedPanel.item.main.load(rules.speedFromStored(conf[getter]()))
            speedPanel.item.self.load(rules.speedFromStored(conf[rules.getterName(tag, pIndex, 1)]()))
        } else {
            var stored = conf[getter]()
            shownTextPanel(panel).load(stored === "NULL" ? "" : stored)
        }
    }

    // The shown text panel `panel` (1 to 5); null while another is shown.
    function shownTextPanel(panel) {
        return [webPanel, filePanel, folderPanel, programPanel, soundPanel][panel - 1].item
    }

    // The list of a Windows version class (AssignmentRules.keyItems).
    function loadItems(items) {
        listModel.clear()
        for (var i = 0; i < items.length; ++i)
            listModel.append(items[i])
        itemCount = listModel.count
    }

    // "Same as all programs" shown as the key's state (showSame) or picked.
    function showSame() {
        markItem(-1)
        sameSelected = true
        titleText = qsTr("Same as all programs")
        usrCurrentIndex = -1
        proUsrSelInput(-1)
    }
    function pickSame() {
        showSame()
        sigSameAsAll()
    }

    function pickItem(pIndex) {
        sameSelected = false
        markItem(pIndex)
        titleText = getIndexName(pIndex)
        usrCurrentIndex = pIndex
        proUsrSelInput(pIndex)
        // Only the user's own pick of "Open Web page" puts the cursor in its address.
        if (panelIndex === 1)
            shownTextPanel(1).takeFocus()
        sigSelItemIndex(pIndex, titleText)
    }

    // A chooser's answer goes into the input of the panel it was opened from
    // and is reported under that panel's index.
    function takeChooserAnswer(pIndex, chosen) {
        var answer = rules.chooserAnswer(chosen)
        if (answer === "" || !rules.hasChooser(pIndex))
            return
        var shown = shownTextPanel(pIndex)
        if (shown)
            shown.load(answer)
        sigUsrIndexUrl(pIndex, answer)
    }

    // The chooser opens where the input's path points, if it points anywhere.
    function openChooser(pIndex) {
        var shown = shownTextPanel(pIndex)
        var start = rules.chooserFolder(pIndex, shown ? shown.text : "")
        if (rules.chooserPicksFolder(pIndex)) {
            folderDialog.panel = pIndex
            folderDialog.currentFolder = start
            folderDialog.open()
        } else {
            fileDialog.panel = pIndex
            fileDialog.nameFilters = rules.chooserFilters(pIndex)
            fileDialog.folder = start
            fileDialog.open()
        }
    }

    AssignmentRules {
        id: rules
        objectName: "rules"
    }

    OpFunConfFile {
        id: conf
    }

    ListModel {
        id: listModel
    }

    BorderImage {
        anchors.fill: parent
        source: "qrc:/images/ability/listbg.svg"
        border { left: 10; top: 10; right: 10; bottom: 10 }
    }

    PageText {
        id: heading
        objectName: "heading"
        x: 20
        width: 270
        height: 44
        verticalAlignment: Text.AlignVCenter
        text: keyPage.titleText
        elide: Text.ElideRight
        font.pixelSize: 16
        font.bold: true
        color: Palette.listHeading
    }

    // In a program set the list begins with "Same as all programs".
    FunctionItem {
        objectName: "sameItem"
        activeFocusOnTab: true
        x: 4
        y: 44
        property bool pointerOver: false
        width: 302
        height: keyPage.programSet ? 30 : 0
        visible: keyPage.programSet
        text: qsTr("Same as all programs")
        selectState: keyPage.sameSelected ? "pressed" : pointerOver ? "hover" : "normal"
        onPointerInside: pointerOver = inside
        onPicked: keyPage.pickSame()
    }

    ListView {
        id: list
        objectName: "list"
        x: 4
        y: 44 + (keyPage.programSet ? 30 : 0)
        width: 302
        // Whole rows only: opened at its last entry, it shows its top row whole.
        height: Math.floor((keyPage.height - 82 - (keyPage.programSet ? 30 : 0)) / 30) * 30
        clip: true
        model: keyPage.visible ? listModel : null
        // Opened, the list shows its marked entry ("None" is the last).
        onModelChanged: if (model && keyPage.usrCurrentIndex >= 0)
                            positionViewAtIndex(keyPage.usrCurrentIndex, ListView.Contain)
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}
        Accessible.role: Accessible.List
        Accessible.name: keyPage.titleText
        activeFocusOnTab: true
        Keys.onPressed: event.accepted = Focus.listKey(list, listModel, event)
        delegate: FunctionItem {
            width: list.width
            focus: ListView.isCurrentItem
            text: issueName
            hasArrow: btn_state
            selectState: isSelectItem
            onPicked: keyPage.pickItem(index)
            onPointerInside: {
                if (isSelectItem !== "pressed")
                    listModel.setProperty(index, "isSelectItem", inside ? "hover" : "normal")
            }
        }
    }

    // Below the list, and outside it: the list's positions stay the stored indexes.
    Rectangle {
        x: 14
        y: keyPage.height - 39
        width: 282
        height: 1
        color: "#e3e7ee"
    }
    FunctionItem {
        objectName: "combinationItem"
        activeFocusOnTab: true
        x: 4
        y: keyPage.height - 38
        property bool pointerOver: false
        width: 302
        height: 30
        text: qsTr("Key combination...")
        selectState: keyPage.combinationSelected ? "pressed" : pointerOver ? "hover" : "normal"
        onPointerInside: pointerOver = inside
        onPicked: keyPage.sigCombinationRequested()
    }

    Rectangle {
        x: 310
        y: 16
        width: 1
        height: keyPage.height - 32
        color: "#e3e7ee"
        visible: keyPage.panelIndex > 0
    }

    // The panel of the marked entry is made when it is marked and released when
    // another is (most entries take no parameter, and there are four lists).
    // Panels 1 to 5: one input each; 2 to 5 also have an add button.
    Component {
        id: textPanel
        TextPanel {
            objectName: "panel" + panel
            panel: parent ? parent.panel : 0
            hasAdd: rules.hasChooser(panel)
            onEdited: keyPage.sigUsrIndexUrl(panel, text)
            onAddClicked: keyPage.openChooser(panel)
        }
    }
    Loader { id: webPanel; readonly property int panel: 1; active: keyPage.panelIndex === panel; sourceComponent: textPanel }
    Loader { id: filePanel; readonly property int panel: 2; active: keyPage.panelIndex === panel; sourceComponent: textPanel }
    Loader { id: folderPanel; readonly property int panel: 3; active: keyPage.panelIndex === panel; sourceComponent: textPanel }
    Loader { id: programPanel; readonly property int panel: 4; active: keyPage.panelIndex === panel; sourceComponent: textPanel }
    Loader { id: soundPanel; readonly property int panel: 5; active: keyPage.panelIndex === panel; sourceComponent: textPanel }

    // Panel 6: the pointer speeds.
    Loader {
        id: speedPanel
        active: keyPage.panelIndex === 6
        sourceComponent: Column {
            objectName: "panel6"
            property alias main: mainSpeed
            property alias self: selfSpeed
            x: 326
            y: 56
            width: 238
            spacing: 10

            PageText {
                width: parent.width
                text: qsTr("Set the seepd of mouse")
                font.pixelSize: 14
                font.bold: true
                color: Palette.listHeading
                wrapMode: Text.WordWrap
            }
            SpeedRow {
                id: mainSpeed
                label: qsTr("Main")
                slider.objectName: "mainSlider"
                onMoved: keyPage.sigUsrSpeed(0, value)
            }
            SpeedRow {
                id: selfSpeed
                label: qsTr("Self")
                slider.objectName: "selfSlider"
                onMoved: keyPage.sigUsrSpeed(1, value)
            }
            PageText {
                width: parent.width
                text: qsTr("Press button to switch the speed of mouse between main and self")
                font.pixelSize: 12
                color: Palette.listHint
                wrapMode: Text.WordWrap
            }
        }
    }

    Platform.FileDialog {
        id: fileDialog
        objectName: "fileDialog"
        property int panel: 0
        title: qsTr("Please choose a file")
        fileMode: Platform.FileDialog.OpenFile
        onAccepted: keyPage.takeChooserAnswer(panel, file)
    }

    Platform.FolderDialog {
        id: folderDialog
        objectName: "folderDialog"
        property int panel: 0
        title: qsTr("Please choose a file")
        onAccepted: keyPage.takeChooserAnswer(panel, folder)
    }
}
