// The home page: the mouse seen from above with a hot spot on each programmable
// control and, beside it, the function assigned to it. The lists themselves live
// on the main page, which this page asks to open them.
import QtQuick 2.15
import Operate.Conf.OpFunConfFile 1.0
import Operate.Conf.OperateToken 1.0
import an.utility 1.0
import "../assembly"
import "../assembly/focus.js" as Focus
import QtQuick.Window 2.15

Rectangle {
    id: root
    property bool pageState: false
    property string usrEmail: ""
    property bool eightKeys: true
    property string modelText: "NULL"
    // How the agent hears the mouse, as it last said: "driver", "hook" or "".
    property string inputSource: ""
    // The sync result shown under the title bar.
    property string syncText: ""
    property bool syncSuccess: true
    readonly property alias allowSync: titleBar.allowSync
    readonly property alias titleBar: titleBar
    // The log-in pop-up the accounts pages put on the cover; empty: none yet.
    property url loginPopupSource: ""
    readonly property point mouseOrigin: Qt.point(370, 110)
    // The page's keyboard shortcuts work: no box, list or panel covers it.
    property bool shortcutsEnabled: true
    // The program selector above the mouse picture.
    readonly property alias programBar: programBar

    signal sigQXPair(string pair_index)
    signal sigQXMinimum()
    signal sigQXHidden()
    signal sigActionClicked(string action_style)
    signal sigLogicClicked(string logic_sign)
    signal sigReturnVer(string gui_index)
    signal sigInitConf(string tag, string index, string name)
    // A control the selected program set leaves to all programs' assignment.
    signal sigInitSame(string tag)
    // A program could not be added, with the reason.
    signal sigProgramRefused(string text)
    // The password was reset from the log-in pop-up (which closes), with the note
    // that says so.
    signal sigPasswordReset(string text)
    // The user asked to remove the set of a program.
    signal sigRemoveProgram(int section, string name)
    // The sync panel's place: emitted for a signed-in "Sync".
    signal sigSyncRequested()
    // Where the desktop has no tray, its menu is asked for in the title bar.
    property bool offerMenu: false
    signal sigMenuRequested()

    color: Palette.page

    OpFunConfFile { id: conf }
    OperateToken { id: token }
    AssignmentRules { id: rules }

    function row(tag) {
        for (var i = 0; i < controls.count; ++i)
            if (controls.get(i).tag === tag)
                return i
        return -1
    }

    // Shows each control's stored entry through sigInitConf; in a program set, a
    // control without an entry of its own through sigInitSame.
    function f_initMouseConf() {
        conf.syncMouseIni()
        inputSource = conf.InputSource()
        var inSet = conf.selectedSet > 0
        var docs = {
            "midWheel": conf.GetMidWheelVal, "midKey": conf.GetMidKeyVal,
            "slideDownKey": conf.GetSideDownkeyVal, "slideUpKey": conf.GetSideUpkeyVal,
            "slideWheel": conf.GetSideWheel, "rightKey": conf.GetRightKeyVal
        }
        var tags = rules.tagsInShowOrder()
        for (var i = 0; i < tags.length; ++i) {
            var doc = docs[tags[i]]
            var entry = null
            try {
                entry = doc ? JSON.parse(doc) : null
            } catch (e) {
                entry = null
            }
            // A program set without an entry leaves the control to all programs;
            // elsewhere an entry that cannot be read shows "None", as the agent
            // reads it.
            if (!entry && inSet)
                sigInitSame(tags[i])
            else if (entry)
                sigInitConf(tags[i], String(entry.index), entry.name)
            else
                sigInitConf(tags[i], "", "")
        }
    }

    // Stores the entry "name-index-tag" for the control and writes the file.
    function f_setConfIssue(name, index, tag) {
        var setter = rules.entrySetter(tag)
        if (setter === "")
            return
        conf[setter](rules.entryText(name, index, tag))
        conf.syncIniToFile()
    }

    function f_operateAccount(code) {
        if (code !== "sign_out")
            return
        titleBar.slots_loginRegister("sign_out", "")
        token.SignOut()
    }

    function f_setCurrentMouse(mouseName) {
        modelText = mouseName
    }
    function f_changeMode7() {
        eightKeys = false
    }
    function f_changeMode8() {
        eightKeys = true
    }

    // `inherited`: the selected program set leaves the control to all programs,
    // and the label shows their function, muted.
    function f_setLabel(tag, text, shown, inherited) {
        var i = row(tag)
        if (i < 0)
            return
        controls.setProperty(i, "text", text)
        controls.setProperty(i, "shown", shown)
        controls.setProperty(i, "inherited", inherited === true)
    }
    // While a control's list is open its label, pointer and hot spot are lit.
    function f_setHighlight(tag, on) {
        var i = row(tag)
        if (i >= 0)
            controls.setProperty(i, "highlighted", on)
    }
    function labelText(tag) {
        var i = row(tag)
        return i < 0 ? "" : controls.get(i).text
    }
    function labelShown(tag) {
        var i = row(tag)
        return i >= 0 && controls.get(i).shown && hotSpotAvailable(tag)
    }
    // The list asked for from the keyboard takes the focus; closed, it hands it
    // back to the control's hot spot.
    signal sigListFromKeyboard(string tag)
    function openByKeyboard(tag, action) {
        sigActionClicked(action)
        sigListFromKeyboard(tag)
    }
    function focusSpot(tag) {
        var i = row(tag)
        if (i < 0)
            return
        spots.itemAt(i).hotSpot.forceActiveFocus(Qt.OtherFocusReason)
    }
    function hotSpotAvailable(tag) {
        return eightKeys || tag !== "slideWheel"
    }

    // Spots in the picture's coordinates for the 8-key (x8, y8) and 7-key (x7, y7)
    // pictures; labels at `labelY` on the picture's `side`, placed so that no
    // pointer runs through another control's spot (the right key's spot lies level
    // with the middle wheel's, so its label comes first, level with its spot).
    ListModel {
        id: controls
        ListElement { tag: "midKey"; action: "mid_key_press"; side: "right"; x8: 130; y8: 72; x7: 130; y7: 72; labelY: 130; text: "Enter word"; shown: false; inherited: false; highlighted: false }
        ListElement { tag: "midWheel"; action: "mid_wheel_wheel"; side: "right"; x8: 130; y8: 106; x7: 130; y7: 106; labelY: 280; text: ""; shown: false; inherited: false; highlighted: false }
        ListElement { tag: "rightKey"; action: "right_key_press"; side: "right"; x8: 188; y8: 108; x7: 188; y7: 108; labelY: 202; text: ""; shown: false; inherited: false; highlighted: false }
        ListElement { tag: "slideWheel"; action: "side_wheel"; side: "left"; x8: 20; y8: 173; x7: 20; y7: 173; labelY: 230; text: ""; shown: false; inherited: false; highlighted: false }
        ListElement { tag: "slideUpKey"; action: "side_upKey_press"; side: "left"; x8: 36; y8: 228; x7: 36; y7: 212; labelY: 310; text: ""; shown: false; inherited: false; highlighted: false }
        ListElement { tag: "slideDownKey"; action: "side_downKey_press"; side: "left"; x8: 36; y8: 274; x7: 36; y7: 262; labelY: 390; text: ""; shown: false; inherited: false; highlighted: false }
    }
    Component.onCompleted: controls.setProperty(0, "text", qsTr("Enter word"))

    TitleRectangle {
        id: titleBar
        objectName: "titleBar"
        width: parent.width
        shortcutsEnabled: root.shortcutsEnabled && !loginCover.visible
        onSigLogReg: root.f_showLogin()
        onSigSync: allowSync ? root.sigSyncRequested() : root.f_showLogin()
        offerMenu: root.offerMenu
        onSigMenu: root.sigMenuRequested()
        onSigAbout: root.sigLogicClicked("QXAbout")
        onSigSignIn: root.sigLogicClicked("sign_in_clicked")
        onSigMinimum: root.sigQXMinimum()
        onSigHidden: root.sigQXHidden()
        Component.onCompleted: {
            root.usrEmail = token.GetEmail()
            if (token.GetToken() !== "token_fail")
                slots_loginRegister("sign_in", token.GetNickName())
        }
    }

    ProgramBar {
        id: programBar
        objectName: "programBar"
        x: 40
        y: 62
        width: parent.width - 80
        onSigRefused: root.sigProgramRefused(text)
        onSigRemoveRequested: root.sigRemoveProgram(section, name)
    }

    Image {
        id: mousePicture
        objectName: "mousePicture"
        x: root.mouseOrigin.x
        y: root.mouseOrigin.y
        source: root.eightKeys ? "qrc:/images/mouse8.svg" : "qrc:/images/mouse7.svg"
        Accessible.role: Accessible.Graphic
        Accessible.name: qsTr("Mouse %1").arg(root.modelText)
    }

    Repeater {
        id: spots
        model: controls
        Item {
            id: control
            readonly property Item hotSpot: spotArea // takes the keyboard
            objectName: "control_" + model.tag
            visible: root.hotSpotAvailable(model.tag)
            readonly property real spotX: root.mouseOrigin.x + (root.eightKeys ? model.x8 : model.x7)
            readonly property real spotY: root.mouseOrigin.y + (root.eightKeys ? model.y8 : model.y7)
            readonly property real labelX: model.side === "right" ? 690 : 110
            readonly property real labelEdge: model.side === "right" ? labelX : labelX + label.width
            readonly property color tint: model.highlighted ? Palette.linkOnDark : Palette.textMuted

            // The pointer from the hot spot to the label.
            Rectangle {
                visible: model.shown
                readonly property real dx: control.labelEdge - control.spotX
                readonly property real dy: model.labelY + 16 - control.spotY
                x: control.spotX
                y: control.spotY
                width: Math.sqrt(dx * dx + dy * dy)
                height: 1.5
                color: control.tint
                transformOrigin: Item.Left
                rotation: Math.atan2(dy, dx) * 180 / Math.PI
            }
            Rectangle {
                id: label
                objectName: "label_" + model.tag
                visible: model.shown
                x: control.labelX
                y: model.labelY
                width: 200
                height: 32
                radius: 4
                color: Palette.panel
                border.color: control.tint
                Text {
                    anchors.fill: parent
                    anchors.margins: 8
                    verticalAlignment: Text.AlignVCenter
                    horizontalAlignment: model.side === "right" ? Text.AlignLeft : Text.AlignRight
                    elide: Text.ElideRight
                    color: model.highlighted ? Palette.linkOnDark
                                             : model.inherited ? Palette.textMuted : Palette.text
                    font.pixelSize: 14
                    font.italic: model.inherited
                    text: model.text
                }
            }
            Rectangle {
                objectName: "spot_" + model.tag
                x: control.spotX - width / 2
                y: control.spotY - height / 2
                width: 20
                height: 20
                radius: 10
                color: model.highlighted ? Palette.accent : spotArea.containsMouse ? "#5f6b7c" : Palette.line
                border.width: 2
                border.color: model.highlighted ? "white" : Palette.textSecondary
                // Enter or Space (no mouse event) opens the list with the focus
                // in it.
                ClickArea {
                    id: spotArea
                    anchors.fill: parent
                    anchors.margins: -6
                    cursorShape: Qt.PointingHandCursor
                    name: rules.spotName(model.tag, model.text, model.shown, model.inherited)
                    onClicked: mouse ? root.sigActionClicked(model.action)
                                     : root.openByKeyboard(model.tag, model.action)
                }
            }
        }
    }

    Rectangle {
        id: bottomBar
        y: parent.height - 80
        width: parent.width
        height: 80
        color: Palette.bottomBar
        Rectangle {
            objectName: "modelButton"
            x: 30
            anchors.verticalCenter: parent.verticalCenter
            width: 140
            height: 36
            radius: 18
            color: "transparent"
            border.color: Palette.line
            Text {
                anchors.centerIn: parent
                color: Palette.text
                font.pixelSize: 15
                text: root.modelText
            }
        }
        Text {
            objectName: "inputSourceText"
            x: 186
            anchors.verticalCenter: parent.verticalCenter
            color: Palette.textMuted
            font.pixelSize: 13
            text: root.inputSource === "driver" ? qsTr("through the mouse driver")
                : root.inputSource === "hook" ? qsTr("through Windows") : ""
        }
        // The agent changes over when the driver comes or goes.
        Timer {
            interval: 3000
            repeat: true
            running: root.visible
            onTriggered: root.inputSource = conf.InputSource()
        }
        Row {
            anchors.right: parent.right
            anchors.rightMargin: 30
            anchors.verticalCenter: parent.verticalCenter
            spacing: 14
            PushButton {
                objectName: "chooseButton"
                shortcut: "Alt+1"
                shortcutEnabled: root.shortcutsEnabled && !loginCover.visible
                primary: false
                text: qsTr("Choose")
                onClicked: root.sigReturnVer("return_choose")
            }
            PushButton {
                objectName: "pairButton"
                shortcut: "Alt+2"
                shortcutEnabled: root.shortcutsEnabled && !loginCover.visible
                primary: false
                text: qsTr("Pair")
                onClicked: root.sigQXPair("QXPair")
            }
            PushButton {
                objectName: "resetButton"
                text: qsTr("Reset")
                onClicked: root.sigLogicClicked("default_set")
            }
        }
    }

    // The log-in pop-up on a dark cover; a click on the cover closes it.
    function f_showLogin() {
        titleBar.loginActive = true
        loginCover.visible = true
    }
    function f_hideLogin() {
        var hadKeyboard = Focus.isInside(Window.activeFocusItem, loginCover)
        loginCover.visible = false
        titleBar.loginActive = false
        if (hadKeyboard) // back to the title bar the pop-up was opened from
            Qt.callLater(Focus.first, titleBar)
    }
    Rectangle {
        id: loginCover
        objectName: "loginCover"
        anchors.fill: parent
        visible: false
        color: "#cc000000"
        Keys.onEscapePressed: root.f_hideLogin()
        MouseArea { // takes the pointer's hover too: no tool tip of a covered button shows
            anchors.fill: parent
            hoverEnabled: true
            onClicked: root.f_hideLogin()
        }
        Loader {
            id: loginLoader
            anchors.centerIn: parent
            active: loginCover.visible && root.loginPopupSource.toString() !== ""
            source: root.loginPopupSource
        }
        Connections {
            target: loginLoader.item
            ignoreUnknownSignals: true
            function onSigSignState(code, text) { root.f_signState(code, text) }
            function onSigResetPwdSuccess(text) {
                root.f_hideLogin()
                root.sigPasswordReset(text)
            }
        }
    }
    // The pop-up's answer: signed in with the nickname in `text`.
    function f_signState(code, text) {
        if (code !== "sign_in")
            return
        titleBar.slots_loginRegister("sign_in", text)
        usrEmail = token.GetEmail()
        f_hideLogin()
    }
}
