// The function list of one wheel (middle wheel or side wheel). A press on an
// entry picks it and reports it (sigSelIssue); the main page stores it.
import QtQuick 2.15
import an.utility 1.0
import QtQuick.Controls 2.15
import "../assembly/focus.js" as Focus

Item {
    id: wheelPage

    property string titleText: ""
    property int issueCount: 0
    // A program set is edited: the list begins with "Same as all programs",
    // marked while the set leaves this wheel to all programs' assignment.
    property bool programSet: false
    property bool sameSelected: false
    // The wheel plays key combinations of its own; "Key combination..." is marked.
    property bool combinationSelected: false

    signal sigSelIssue(int issueIndex, string issueName)
    // The user picked "Same as all programs".
    signal sigSameAsAll()
    // The user picked "Key combination...": the main page asks for the keys.
    signal sigCombinationRequested()

    // Esc asks the main page to close the list.
    signal sigCloseRequested()

    // The list takes the keyboard: the arrow keys, Home, End and a first letter
    // move, Enter picks, Esc closes; Tab goes round this list and its panel.
    function takeKeyboard() {
        Focus.takeList(list, wheelPage.markedIndex())
    }
    Keys.onEscapePressed: sigCloseRequested()
    readonly property bool keepsKeyboard: true // Tab goes round it

    width: 310
    height: 56 + (Math.max(issueCount, 1) + 1 + (programSet ? 1 : 0)) * 30

    function getIndexName(pIndex) {
        pIndex = Number(pIndex)
        return pIndex >= 0 && pIndex < listModel.count ? listModel.get(pIndex).issueName : ""
    }

    function markItem(pIndex) {
        combinationSelected = false
        for (var i = 0; i < listModel.count; ++i)
            listModel.setProperty(i, "isSelectItem", i === pIndex ? "pressed" : "normal")
    }

    // The wheel's combinations (`text`: "up / down") shown as its state.
    function showCombination(text) {
        markItem(-1)
        sameSelected = false
        combinationSelected = true
        titleText = text
    }

    function wheelIsSelectItem(pIndex) {
        pIndex = Number(pIndex) // stored entries hand the index over as text
        if (pIndex < 0 || pIndex >= listModel.count)
            return
        sameSelected = false
        markItem(pIndex)
        titleText = getIndexName(pIndex)
    }

    // "Same as all programs" shown as the wheel's state (showSame) or picked.
    function showSame() {
        markItem(-1)
        sameSelected = true
        titleText = qsTr("Same as all programs")
    }
    function markedIndex() {
        for (var i = 0; i < listModel.count; ++i)
            if (listModel.get(i).isSelectItem === "pressed")
                return i
        return -1
    }
    function pickSame() {
        showSame()
        sigSameAsAll()
    }

    // The list of a Windows version class (AssignmentRules.wheelItems).
    function loadItems(items) {
        listModel.clear()
        for (var i = 0; i < items.length; ++i)
            listModel.append(items[i])
        issueCount = listModel.count
    }

    function pickItem(pIndex) {
        sameSelected = false
        markItem(pIndex)
        titleText = getIndexName(pIndex)
        sigSelIssue(pIndex, titleText)
    }

    ListModel {
        id: listModel
    }

    BorderImage {
        anchors.fill: parent
        source: "qrc:/images/ability/listbg.svg"
        border { left: 10; top: 10; right: 10; bottom: 10 }
    }

    Text {
        objectName: "heading"
        x: 20
        width: 270
        height: 44
        verticalAlignment: Text.AlignVCenter
        text: wheelPage.titleText
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
        height: wheelPage.programSet ? 30 : 0
        visible: wheelPage.programSet
        text: qsTr("Same as all programs")
        selectState: wheelPage.sameSelected ? "pressed" : pointerOver ? "hover" : "normal"
        pickOnPress: true
        onPointerInside: pointerOver = inside
        onPicked: wheelPage.pickSame()
    }

    // Below the list, and outside it: the list's positions stay the stored indexes.
    Rectangle {
        x: 14
        y: wheelPage.height - 39
        width: 282
        height: 1
        color: "#e3e7ee"
    }
    FunctionItem {
        objectName: "combinationItem"
        activeFocusOnTab: true
        x: 4
        y: wheelPage.height - 38
        property bool pointerOver: false
        width: 302
        height: 30
        text: qsTr("Key combination...")
        selectState: wheelPage.combinationSelected ? "pressed" : pointerOver ? "hover" : "normal"
        pickOnPress: true
        onPointerInside: pointerOver = inside
        onPicked: wheelPage.sigCombinationRequested()
    }

    ListView {
        id: list
        objectName: "list"
        x: 4
        y: 44 + (wheelPage.programSet ? 30 : 0)
        width: 302
        height: wheelPage.height - 82 - (wheelPage.programSet ? 30 : 0)
        clip: true
        model: wheelPage.visible ? listModel : null
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}
        Accessible.role: Accessible.List
        Accessible.name: wheelPage.titleText
        activeFocusOnTab: true
        Keys.onPressed: event.accepted = Focus.listKey(list, listModel, event)
        delegate: FunctionItem {
            width: list.width
            focus: ListView.isCurrentItem
            text: issueName
            selectState: isSelectItem
            pickOnPress: true
            onPicked: wheelPage.pickItem(index)
            onPointerInside: {
                if (isSelectItem !== "pressed")
                    listModel.setProperty(index, "isSelectItem", inside ? "hover" : "normal")
            }
        }
    }
}
