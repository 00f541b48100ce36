// The configurator's window: every page as a child, one shown at a time, with the
// boxes and covers on top. Which page shows is the navigator's business; this page
// wires the pages' signals, the receiver link, the settings and the tray to it.
// Closing the window puts it away (putAway).
import QtQuick 2.15
import QtQuick.Window 2.15
import Model.QX.PairDoWork 1.0
import Model.QX.OpenBluetooth 1.0
import Model.QX.CheckProcess 1.0
import Operate.Conf.OpFunConfFile 1.0
import Account.Manager.UpdatePasswdAccount 1.0
import Account.Manager.GetSoftwareVersion 1.0
import an.utility 1.0
import Account.Pages 1.0
import Qt.labs.platform 1.1 as Platform
import "widgets"
import "ability"
import "msgBox"
import "assembly"
import "assembly/focus.js" as Focus

Window {
    id: mainWindow
    objectName: "mainWindow"
    width: 1000
    height: 700
    visible: !checkProcess.startHidden
    flags: Qt.Window | Qt.FramelessWindowHint | Qt.WindowMinimizeButtonHint
    title: qsTr("Velko Options")
    color: Palette.page

    // The version class once the agent keeper has told it; the lists are trimmed then.
    property string versionClass: ""

    onClosing: {
        close.accepted = false
        mainWindow.putAway()
    }

    // Closing the window keeps the configurator (and so the agent's keeper)
    // running: into the tray where there is one, else down to the task bar or the
    // overview, from where the window comes back, as from a second start.
    function putAway() {
        if (tray.isAvailable())
            mainWindow.hide()
        else
            mainWindow.showMinimized()
    }

    // Ends the agent and the configurator ("exit" in the tray menu).
    function exitAll() {
        checkProcess.CloseVelkoOptions()
        tray.onExit()
    }

    // Whether the desktop shows the tray icon; without one the title bar offers
    // the tray menu's actions. A tray that comes or goes (a panel started after
    // the configurator) is seen the next time the window is activated.
    property bool trayAvailable: tray.isAvailable()
    onActiveChanged: trayAvailable = tray.isAvailable()

    function showFromTray() {
        checkProcess.RestartOption()
        mainWindow.showNormal() // a minimised window comes back too
        mainWindow.raise()
        mainWindow.requestActivate()
    }

    // When what had the keyboard goes away (a box answered, a page left), the
    // keyboard goes back to what had it before the box if that is still shown,
    // else to the first item of what is shown now; a page shown again starts where
    // the keyboard was when it was left (the button that opened the page left for
    // it), a page shown anew at its first item. Focus given meanwhile (a box
    // opened) stays where it is. Pointer users are left alone.
    function settleFocus(pageChanged) {
        if (!KeyboardUse.active)
            return
        var before = mainWindow.activeFocusItem
        Qt.callLater(function() {
            var item = mainWindow.activeFocusItem
            if (Focus.usable(item) && !(pageChanged && item === before))
                return
            // A box lies on the page shown: what had the keyboard there last,
            // outside the boxes, is what had it before the box.
            Focus.restore(mainWindow.focusOnPage[navigator.page], mainWindow.contentItem)
        })
    }
    function aboveDarkCover(item) {
        var top = item
        while (top && top.parent !== mainWindow.contentItem)
            top = top.parent
        var seenCover = false
        var children = mainWindow.contentItem.children
        for (var i = 0; top && i < children.length; ++i) {
            if (children[i] === darkCover)
                seenCover = true
            else if (children[i] === top)
                return seenCover
        }
        return false
    }
    onActiveFocusItemChanged: {
        var item = activeFocusItem
        if (item && item.activeFocusOnTab && !darkCover.visible && !aboveDarkCover(item))
            focusOnPage[focusedPage] = item
    }
    // Tab and Shift+Tab in what keeps the keyboard go round it. They are taken as
    // shortcuts: the item that has the keyboard would pass them on along the
    // window's order, out to the page behind.
    readonly property Item keyboardKeeper: Focus.keeper(activeFocusItem)
    Shortcut {
        sequence: "Tab"
        enabled: mainWindow.keyboardKeeper !== null
        onActivated: Focus.cycle(mainWindow.keyboardKeeper, mainWindow.activeFocusItem, true)
    }
    Shortcut {
        sequence: "Shift+Tab"
        enabled: mainWindow.keyboardKeeper !== null
        onActivated: Focus.cycle(mainWindow.keyboardKeeper, mainWindow.activeFocusItem, false)
    }
    property string focusedPage: ""
    // What had the keyboard last on each page outside the boxes (which lie above
    // the dark cover), by the page's name.
    property var focusOnPage: ({})

    // The session has ended on the server (the password changed, or a session it no
    // longer knows): signed out here too, and the log-in pop-up opens to sign in again.
    function signInAgain(state) {
        onLogic(state)
        connectDevice.f_showLogin()
    }

    // One handler for the state names of the pages and of the pairing link.
    function onLogic(state) {
        navigator.handle(state, state === "version_confirm" && chooseLoader.item
                                ? chooseLoader.item.selectedModel : "")
    }

    PageNavigator {
        id: navigator
        objectName: "navigator"
        onSigShowModel: {
            conf.syncMouseIni()
            connectDevice.f_setCurrentMouse(model)
            if (eightKeys)
                connectDevice.f_changeMode8()
            else
                connectDevice.f_changeMode7()
            if (chooseLoader.item)
                chooseLoader.item.f_selectModel(model)
        }
        // Lists and the sync panel belong to the connection page: leaving it (an
        // unplug among others) closes them, so no pick lands while it is away.
        onChanged: {
            if (page !== "connect") {
                mainWindow.closeList()
                syncCover.close()
                windowMenu.close()
            }
            mainWindow.settleFocus(page !== mainWindow.focusedPage)
            mainWindow.focusedPage = page
        }
        onSigSignOut: connectDevice.f_operateAccount("sign_out")
        onSigRestoreDefaults: mainWindow.restoreDefaults()
    }
    AssignmentRules { id: rules }
    OpFunConfFile {
        id: conf
        onSelectedSetChanged: mainWindow.showSelectedSet()
    }
    // The program selector of the connection page: which set the pages edit.
    readonly property QtObject programSelector: connectDevice.programBar.selector
    // The answer to the restore question: everything, or the selected set only.
    property bool restoreAll: true
    // The program set whose removal is being asked about (0: none), and its name.
    property int removingSection: 0
    property string removingName: ""
    OpenBluetooth { id: openBluetooth }
    // A change the settings folder did not take (a full disk, a read-only folder)
    // is kept and written at the next change that can be; the user hears of it,
    // after what the action itself says (a sign-in's success, say).
    Connections {
        target: SettingsSaves
        function onSaveFailed(path) { Qt.callLater(mainWindow.tellNotSaved, path) }
    }
    // Another program (velko-options, a second copy's import) changed the
    // settings: the window shows them as they now are.
    Connections {
        target: SettingsChanges
        function onChangedElsewhere() { mainWindow.showSettingsChangedElsewhere() }
    }
    function showSettingsChangedElsewhere() {
        conf.syncMouseIni()
        navigator.storedModelChanged(conf.GetCurrentMouse)
        programSelector.refresh()
        if (navigator.page === "connect" && versionClass !== "")
            connectDevice.f_initMouseConf()
    }
    function tellNotSaved(path) {
        navigator.showInfo(qsTr("Your changes could not be saved to %1. Check that the disk has room and that the folder can be written.").arg(path), false, 8000)
    }

    CheckProcess {
        id: checkProcess
        objectName: "checkProcess"
        onSigCurrentSysVerison: mainWindow.adjustLists(sysVersion)
    }

    PairDoWork {
        id: pairDoWork
        objectName: "pairDoWork"
        onSigPlugInReceiver: navigator.receiverChanged(pairDoWork.CheckPlugInReceiver(),
                                                       conf.GetCurrentMouse)
        onSigEnterPair: navigator.handle(progress)
        onSigPairRet: navigator.handle(progress)
        Component.onCompleted: BeginMonitor()
    }

    UpdatePasswdAccount {
        id: updatePasswd
        objectName: "updatePasswd"
        onSigUpdatePwdRet: {
            navigator.showInfo(rMsg, rCode === 0)
            if (rCode === 0)
                mainWindow.signInAgain("update_passwd")
            else if (AccountForms.endsSession(rCode))
                mainWindow.signInAgain("sign_out")
        }
    }
    GetSoftwareVersion {
        id: softwareVersion
        onSigGetSoftwareVer: updatePrompt.versionAnswered(rCode, rMsg)
        Component.onCompleted: vlGetSoftwareVersion()
    }
    UpdatePrompt {
        id: updatePrompt
        objectName: "updatePrompt"
    }

    SystemTrayIcon {
        id: tray
        objectName: "tray"
        visible: true
        icon: "qrc:/images/app.ico"
        toolTip: "Velko Options"
        onTrigger: mainWindow.showFromTray()
        menu: MyMenu {
            MyAction {
                text: qsTr("show")
                onTriggered: mainWindow.showFromTray()
            }
            MyAction {
                text: qsTr("Export settings...")
                onTriggered: exportDialog.open()
            }
            MyAction {
                text: qsTr("Import settings...")
                onTriggered: importDialog.open()
            }
            MyAction {
                text: qsTr("exit")
                onTriggered: mainWindow.exitAll()
            }
        }
    }

    // The strip along the top edge moves the window once the pointer is dragged
    // past the desktop's drag distance, never on a click alone: a window manager
    // told of a move after the button was already up (a quick click) would make
    // the window follow the pointer until the next click.
    MouseArea {
        property point pressedAt
        property bool moving: false
        width: parent.width
        height: 50
        acceptedButtons: Qt.LeftButton
        onPressed: {
            pressedAt = Qt.point(mouse.x, mouse.y)
            moving = false
        }
        onPositionChanged: {
            if (moving || Math.max(Math.abs(mouse.x - pressedAt.x), Math.abs(mouse.y - pressedAt.y))
                              < Qt.styleHints.startDragDistance)
                return
            moving = true
            mainWindow.startSystemMove()
        }
    }

    // Made when shown and released when left, as are the other pages but the
    // connection page, which keeps the settings' state.
    Loader {
        id: splashLoader
        anchors.fill: parent
        active: navigator.page === "splash"
        sourceComponent: SplashScreen {
            objectName: "splash"
            Component.onCompleted: firstCheck.start()
        }
    }
    // The presence check keeps the event loop turning for a second: run it once
    // the window is up.
    Timer {
        id: firstCheck
        interval: 0
        onTriggered: navigator.receiverChecked(pairDoWork.CheckPlugInReceiver(),
                                               conf.GetCurrentMouse)
    }

    Loader {
        id: disconnectLoader
        anchors.fill: parent
        active: navigator.page === "disconnect"
        sourceComponent: DisconnectDevices {
            objectName: "disconnectDevices"
            pageState: navigator.disconnectPageState
            onSigQXPair: mainWindow.onLogic(pair_index)
            onSigHidden: mainWindow.putAway()
            onSigMinWindow: mainWindow.showMinimized()
        }
    }

    Loader {
        id: chooseLoader
        anchors.fill: parent
        active: navigator.page === "choose"
        sourceComponent: ChooseVersion {
            objectName: "chooseVersion"
            canGoBack: rules.hasModel(navigator.currentModel)
            onSigVersionClicked: mainWindow.onLogic(version)
            onSigHidden: mainWindow.putAway()
            onSigMinWindow: mainWindow.showMinimized()
            Component.onCompleted: f_selectModel(conf.GetCurrentMouse)
        }
    }

    ConnectDevice {
        id: connectDevice
        objectName: "connectDevice"
        anchors.fill: parent
        visible: navigator.page === "connect"
        pageState: navigator.connectPageState
        onSigQXPair: mainWindow.onLogic(pair_index)
        onSigQXMinimum: mainWindow.showMinimized()
        onSigQXHidden: mainWindow.putAway()
        onSigActionClicked: mainWindow.openList(rules.tagForAction(action_style))
        onSigListFromKeyboard: if (mainWindow.openTag === tag) mainWindow.pageFor(tag).takeKeyboard()
        onSigLogicClicked: mainWindow.onLogic(logic_sign)
        onSigReturnVer: mainWindow.onLogic(gui_index)
        onSigInitConf: mainWindow.showStored(tag, index, name)
        onSigInitSame: mainWindow.showSame(tag)
        onSigProgramRefused: navigator.showInfo(text, false)
        onSigPasswordReset: navigator.showInfo(text, true)
        onSigRemoveProgram: {
            mainWindow.removingName = name
            mainWindow.removingSection = section
        }
        loginPopupSource: "qrc:/infoWidgets/LoginAndRegister.qml"
        shortcutsEnabled: !darkCover.visible && mainWindow.openTag === "" && !syncCover.visible
                          && !windowMenu.visible
        onSigSyncRequested: syncCover.open()
        offerMenu: !mainWindow.trayAvailable
        onSigMenuRequested: windowMenu.open()
        // Each switch to the page shows the stored configuration once, before the
        // lists are trimmed adjustLists does it; then the stored model, which
        // another program may have changed while another page showed.
        onVisibleChanged: {
            if (!visible)
                return
            if (mainWindow.versionClass !== "")
                f_initMouseConf()
            Qt.callLater(navigator.storedModelChanged, conf.GetCurrentMouse) // may switch pages
        }
        Component.onCompleted: checkProcess.CheckTargetPro()
    }

    Loader {
        id: enterPairLoader
        anchors.fill: parent
        active: navigator.page === "enterPair"
        sourceComponent: EnterQXPair {
            objectName: "enterQXPair"
            revButton: navigator.revButton
            onSigRevClicked: mainWindow.onLogic(rev)
            onSigPairClicked: if (navigator.connectPageState || navigator.disconnectPageState)
                                  pairDoWork.BeginPair()
            onSigHidden: mainWindow.putAway()
            onSigMinWindow: mainWindow.showMinimized()
        }
    }

    Loader {
        id: pairLoader
        anchors.fill: parent
        active: navigator.page === "pair"
        sourceComponent: QXPair {
            objectName: "qxPair"
            // Before a model is chosen the first one offered (8 keys) is assumed.
            eightKeys: navigator.eightKeys
        }
    }

    Loader {
        id: aboutLoader
        anchors.fill: parent
        active: navigator.page === "about"
        sourceComponent: QXAbout {
            objectName: "qxAbout"
            onSigHideAbout: mainWindow.onLogic(state)
            onSigHidden: mainWindow.putAway()
            onSigMinWindow: mainWindow.showMinimized()
        }
    }

    Loader {
        id: accountLoader
        anchors.fill: parent
        active: navigator.page === "account"
        sourceComponent: SignOutPage {
            objectName: "signOutPage"
            nickName: connectDevice.titleBar.nickName
            onSigSignInAction: mainWindow.onLogic(action)
            onSigUpdatePwd: updatePasswd.VlUpdatePasswdJson(connectDevice.usrEmail, oldPwd, rePwd)
            onSigError: navigator.showInfo(text, false)
            onSigHidden: mainWindow.putAway()
            onSigMinWindow: mainWindow.showMinimized()
        }
    }

    // ---- The six assignment lists ----

    // The control whose list is open ("" for none).
    property string openTag: ""

    function pageFor(tag) {
        return {"midKey": midKeyPage, "rightKey": rightKeyPage, "slideUpKey": sideUpKeyPage,
                "slideDownKey": sideDownKeyPage, "midWheel": midWheelPage,
                "slideWheel": sideWheelPage}[tag]
    }
    function isKeyTag(tag) {
        return tag !== "midWheel" && tag !== "slideWheel"
    }
    function countOf(tag) {
        var page = pageFor(tag)
        return isKeyTag(tag) ? page.itemCount : page.issueCount
    }

    function openList(tag) {
        var page = pageFor(tag)
        if (!page)
            return
        closeList()
        openTag = tag
        page.visible = true
        // Opened by the mouse too, the list has the keyboard: Esc closes it. (From
        // the keyboard, the list's current item takes it next.)
        page.forceActiveFocus()
        connectDevice.f_setHighlight(tag, true)
    }
    function closeList() {
        if (openTag === "")
            return
        var tag = openTag
        var page = pageFor(tag)
        var hadKeyboard = Focus.isInside(mainWindow.activeFocusItem, page)
        page.visible = false
        connectDevice.f_setHighlight(tag, false)
        openTag = ""
        if (hadKeyboard) // back to the hot spot the list was opened from
            connectDevice.focusSpot(tag)
    }

    // The user picked an item: label, panel, then the entry in the settings file.
    function onPicked(tag, index, name) {
        var label = rules.labelFor(tag, index, countOf(tag), name)
        if (label.text === undefined)
            return
        connectDevice.f_setLabel(tag, label.text, label.visible)
        if (isKeyTag(tag))
            pageFor(tag).proDataFromIni(index, tag)
        connectDevice.f_setConfIssue(name, index, tag)
    }
    // A parameter edited by the user, under the key of the item whose panel shows.
    function onParameter(tag, index, text) {
        var setter = rules.textSetterName(tag, index)
        if (setter === "")
            return
        conf.syncMouseIni()
        conf[setter](text)
        conf.syncIniToFile()
    }
    function onSpeed(tag, speedType, speed) {
        var setter = rules.speedSetterName(tag, speedType)
        if (setter === "")
            return
        conf.syncMouseIni()
        conf[setter](String(speed))
        conf.syncIniToFile()
    }
    // A stored entry: its label and the marked item. An index that is empty, not
    // a number or not in the list reads as "None", as the agent reads it.
    function showStored(tag, index, name) {
        var page = pageFor(tag)
        if (!page || versionClass === "")
            return
        conf.syncMouseIni()
        var combination = conf.GetCombination(tag)
        if (combination.length > 0) {
            showCombination(tag, combination)
            return
        }
        var label = storedLabel(tag, index)
        if (label.text === undefined)
            return
        connectDevice.f_setLabel(tag, label.text, label.visible)
        if (isKeyTag(tag))
            page.keyIsSelectItem(label.index, tag)
        else
            page.wheelIsSelectItem(label.index)
    }
    // The label of a stored index and the list position it stands for.
    function storedLabel(tag, index) {
        var i = rules.storedIndex(index, countOf(tag))
        var label = rules.labelFor(tag, i, countOf(tag), pageFor(tag).getIndexName(i))
        label.index = i
        return label
    }

    // A control with a key combination: the keys as its label, and
    // "Key combination..." marked in its list.
    function showCombination(tag, texts) {
        var text = texts.join(" / ")
        connectDevice.f_setLabel(tag, text, true)
        pageFor(tag).showCombination(text)
    }
    // "Key combination..." picked: the box asks for the keys, starting from the
    // control's own combination.
    property string combinationTag: ""
    function askCombination(tag) {
        conf.syncMouseIni()
        combinationBox.wheel = !isKeyTag(tag)
        combinationTag = tag
        combinationBox.start(conf.GetCombination(tag))
    }
    function combinationAnswered(texts) {
        var tag = combinationTag
        combinationTag = ""
        if (texts === undefined)
            return
        conf.syncMouseIni()
        var problem = conf.SetCombination(tag, texts)
        if (problem !== "")
            navigator.showInfo(problem, false)
        else
            showCombination(tag, conf.GetCombination(tag))
    }

    // A control the selected program set leaves to all programs: their function
    // as its label, muted, and "Same as all programs" marked in its list.
    function showSame(tag) {
        var page = pageFor(tag)
        if (!page || versionClass === "")
            return
        showAllProgramsLabel(tag)
        page.showSame()
    }
    // The user picked "Same as all programs" in a program set's list.
    function onSame(tag) {
        conf.syncMouseIni()
        conf.SetSameAsAllPrograms(tag)
        showAllProgramsLabel(tag)
    }
    function showAllProgramsLabel(tag) {
        var all = conf.AllProgramsAssignment(tag)
        if (all.combination && all.combination.length > 0) {
            connectDevice.f_setLabel(tag, all.combination.join(" / "), true, true)
            return
        }
        var label = storedLabel(tag, all.index || "")
        if (label.text !== undefined)
            connectDevice.f_setLabel(tag, label.text, label.visible, true)
    }
    // Another set was selected (or the selected one changed as a whole): show it.
    function showSelectedSet() {
        if (versionClass === "")
            return
        for (var tag of rules.tagsInShowOrder())
            connectDevice.f_setLabel(tag, tag === "midKey" ? qsTr("Enter word") : "", false)
        if (navigator.page === "connect")
            connectDevice.f_initMouseConf()
    }

    // Fills the lists once for the version class, then shows the stored configuration.
    function adjustLists(sysVersion) {
        if (versionClass !== "")
            return
        var keyItems = rules.keyItems(sysVersion)
        for (var k of [midKeyPage, rightKeyPage, sideUpKeyPage, sideDownKeyPage])
            k.loadItems(keyItems)
        var wheelItems = rules.wheelItems(sysVersion)
        for (var w of [midWheelPage, sideWheelPage])
            w.loadItems(wheelItems)
        versionClass = sysVersion === "win8" || sysVersion === "win10" ? sysVersion : "win7"
        if (navigator.page === "connect")
            connectDevice.f_initMouseConf()
    }

    // Without program sets the default set's defaults; with them, as the user
    // answered: the selected set's, or everything.
    function restoreDefaults() {
        conf.syncMouseIni()
        if (!programSelector.hasSets)
            conf.SetDefault()
        else if (restoreAll)
            conf.RestoreEverything()
        else
            conf.RestoreSelectedSet()
        conf.syncIniToFile()
        if (conf.selectedSet > 0) {
            showSelectedSet()
            return
        }
        var keyNone = rules.keyNoneIndex(versionClass)
        var wheelNone = rules.wheelNoneIndex(versionClass)
        for (var tag of rules.tagsInShowOrder()) {
            var page = pageFor(tag)
            if (isKeyTag(tag)) {
                page.keyIsSelectItem(keyNone, tag)
                page.width = 310
            } else {
                page.wheelIsSelectItem(wheelNone)
            }
            connectDevice.f_setLabel(tag, tag === "midKey" ? qsTr("Enter word") : "", false)
        }
    }

    // The transparent cover under an open list; a click on it closes the list. It
    // takes the pointer's hover, so that no covered button lights up or shows a tool
    // tip (which would take the Esc meant for the list).
    MouseArea {
        objectName: "listCover"
        anchors.fill: parent
        hoverEnabled: true
        visible: mainWindow.openTag !== ""
        onClicked: mainWindow.closeList()
    }

    // Each list opens on the side of the window away from its control's label, so
    // the label stays in sight while the list is open: the lists of the controls
    // labelled on the right open on the left, and the other way round.
    readonly property int rightListX: 660
    // Lists open below the program selector, which stays in sight.
    MouseKeyPress {
        id: midKeyPage
        objectName: "midKeyPage"
        onSigCloseRequested: mainWindow.closeList()
        x: 30
        y: 110
        visible: false
        onSigSelItemIndex: mainWindow.onPicked("midKey", itemIndex, itemName)
        onSigUsrIndexUrl: mainWindow.onParameter("midKey", index, fileUrl)
        onSigUsrSpeed: mainWindow.onSpeed("midKey", speedType, speed)
        programSet: conf.selectedSet > 0
        onSigSameAsAll: mainWindow.onSame("midKey")
        onSigCombinationRequested: mainWindow.askCombination("midKey")
    }
    MouseKeyPress {
        id: rightKeyPage
        objectName: "rightKeyPage"
        onSigCloseRequested: mainWindow.closeList()
        x: 30
        y: 110
        visible: false
        onSigSelItemIndex: mainWindow.onPicked("rightKey", itemIndex, itemName)
        onSigUsrIndexUrl: mainWindow.onParameter("rightKey", index, fileUrl)
        onSigUsrSpeed: mainWindow.onSpeed("rightKey", speedType, speed)
        programSet: conf.selectedSet > 0
        onSigSameAsAll: mainWindow.onSame("rightKey")
        onSigCombinationRequested: mainWindow.askCombination("rightKey")
    }
    MouseKeyPress {
        id: sideUpKeyPage
        objectName: "sideUpKeyPage"
        onSigCloseRequested: mainWindow.closeList()
        x: Math.min(mainWindow.rightListX, mainWindow.width - width - 10)
        y: connectDevice.eightKeys ? 130 : 120
        visible: false
        onSigSelItemIndex: mainWindow.onPicked("slideUpKey", itemIndex, itemName)
        onSigUsrIndexUrl: mainWindow.onParameter("slideUpKey", index, fileUrl)
        onSigUsrSpeed: mainWindow.onSpeed("slideUpKey", speedType, speed)
        programSet: conf.selectedSet > 0
        onSigSameAsAll: mainWindow.onSame("slideUpKey")
        onSigCombinationRequested: mainWindow.askCombination("slideUpKey")
    }
    MouseKeyPress {
        id: sideDownKeyPage
        objectName: "sideDownKeyPage"
        onSigCloseRequested: mainWindow.closeList()
        x: Math.min(mainWindow.rightListX, mainWindow.width - width - 10)
        y: connectDevice.eightKeys ? 150 : 140
        visible: false
        onSigSelItemIndex: mainWindow.onPicked("slideDownKey", itemIndex, itemName)
        onSigUsrIndexUrl: mainWindow.onParameter("slideDownKey", index, fileUrl)
        onSigUsrSpeed: mainWindow.onSpeed("slideDownKey", speedType, speed)
        programSet: conf.selectedSet > 0
        onSigSameAsAll: mainWindow.onSame("slideDownKey")
        onSigCombinationRequested: mainWindow.askCombination("slideDownKey")
    }
    MouseWheelAction {
        id: midWheelPage
        objectName: "midWheelPage"
        onSigCloseRequested: mainWindow.closeList()
        x: 30
        y: 160
        visible: false
        onSigSelIssue: mainWindow.onPicked("midWheel", issueIndex, issueName)
        programSet: conf.selectedSet > 0
        onSigSameAsAll: mainWindow.onSame("midWheel")
        onSigCombinationRequested: mainWindow.askCombination("midWheel")
    }
    MouseWheelAction {
        id: sideWheelPage
        objectName: "sideWheelPage"
        onSigCloseRequested: mainWindow.closeList()
        x: Math.min(mainWindow.rightListX, mainWindow.width - width - 10)
        y: 140
        visible: false
        onSigSelIssue: mainWindow.onPicked("slideWheel", issueIndex, issueName)
        programSet: conf.selectedSet > 0
        onSigSameAsAll: mainWindow.onSame("slideWheel")
        onSigCombinationRequested: mainWindow.askCombination("slideWheel")
    }

    // ---- Settings to a file and back ----

    SettingsFileActions { id: settingsFile }
    Platform.FileDialog {
        id: exportDialog
        objectName: "exportDialog"
        title: qsTr("Export settings")
        fileMode: Platform.FileDialog.SaveFile
        // In the user's documents, not in the folder the program was started from
        // (the installation's on Windows, which the user may not write).
        folder: Platform.StandardPaths.writableLocation(Platform.StandardPaths.DocumentsLocation)
        defaultSuffix: "json"
        nameFilters: [qsTr("Velko Options settings (*.json)")]
        onAccepted: mainWindow.settingsFileDone(settingsFile.exportTo(file), false)
    }
    Platform.FileDialog {
        id: importDialog
        objectName: "importDialog"
        title: qsTr("Import settings")
        fileMode: Platform.FileDialog.OpenFile
        folder: exportDialog.folder
        nameFilters: [qsTr("Velko Options settings (*.json)")]
        onAccepted: mainWindow.settingsFileDone(settingsFile.importFrom(file), true)
    }
    // The window shows what happened; an import shows the settings it brought.
    function settingsFileDone(result, imported) {
        mainWindow.showFromTray()
        if (imported && (result.ok || result.applied)) {
            conf.syncMouseIni()
            var model = conf.GetCurrentMouse
            if (rules.hasModel(model))
                navigator.modelConfirmed(model)
            programSelector.refresh()
            if (navigator.page === "connect" && versionClass !== "")
                connectDevice.f_initMouseConf()
        }
        navigator.showInfo(result.text, result.ok)
    }

    // ---- Boxes and covers ----

    SyncCover {
        id: syncCover
        objectName: "syncCover"
        onSigSyncResult: {
            navigator.showInfo(text, success)
            if (downloaded)
                connectDevice.f_initMouseConf()
        }
        onSigSessionEnded: mainWindow.signInAgain("sign_out")
    }
    WindowMenuCover {
        id: windowMenu
        objectName: "windowMenuCover"
        // Under the menu button, left of minimise and close.
        panelAnchor: Qt.point(width - 86, 56)
        onSigExport: exportDialog.open()
        onSigImport: importDialog.open()
        onSigExit: mainWindow.exitAll()
    }

    Rectangle {
        id: darkCover
        objectName: "darkCover"
        anchors.fill: parent
        visible: navigator.darkCover || updatePrompt.shown || mainWindow.removingSection > 0 ||
                 mainWindow.combinationTag !== ""
        color: "black"
        opacity: 0.8
        onVisibleChanged: if (!visible) mainWindow.settleFocus(false)
        MouseArea { // swallows clicks (and the pointer's hover) while a box is open
            anchors.fill: parent
            hoverEnabled: true
        }
    }
    // The boxes are made when they open and released when they close (BoxLoader),
    // but for the key combination's box, which keeps what is being recorded.
    BoxLoader {
        anchors.centerIn: parent
        active: navigator.box === "restore" && !mainWindow.programSelector.hasSets
        sourceComponent: QXMsgBox {
            objectName: "restoreBox"
            title: qsTr("Restore default")
            text: qsTr("Restoring the default will empty all settings.\nAre you sure you want to restore the default?")
            onSigCancleClicked: navigator.restoreAnswered(false)
            onSigSureClicked: navigator.restoreAnswered(true)
        }
    }
    // With program sets: the selected set only, or everything.
    BoxLoader {
        anchors.centerIn: parent
        active: navigator.box === "restore" && mainWindow.programSelector.hasSets
        sourceComponent: QXMsgBox {
            objectName: "restoreScopeBox"
            title: qsTr("Restore default")
            text: qsTr("Restore the defaults of \"%1\" only, or of all programs and every program set?")
                      .arg(mainWindow.programSelector.selectedName)
            sureText: qsTr("Only this")
            extraText: qsTr("Everything")
            onSigCancleClicked: navigator.restoreAnswered(false)
            onSigSureClicked: {
                mainWindow.restoreAll = false
                navigator.restoreAnswered(true)
            }
            onSigExtraClicked: {
                mainWindow.restoreAll = true
                navigator.restoreAnswered(true)
            }
        }
    }
    BoxLoader {
        anchors.centerIn: parent
        active: mainWindow.removingSection > 0
        sourceComponent: QXMsgBox {
            objectName: "removeProgramBox"
            title: qsTr("Remove program")
            text: qsTr("Remove \"%1\" and the assignments made for it?").arg(mainWindow.removingName)
            onSigCancleClicked: mainWindow.removingSection = 0
            onSigSureClicked: {
                mainWindow.programSelector.removeProgram(mainWindow.removingSection)
                mainWindow.removingSection = 0
            }
        }
    }
    BoxLoader {
        anchors.centerIn: parent
        active: navigator.box === "confirm"
        sourceComponent: ConfirmMsgBox {
            objectName: "confirmBox"
            title: navigator.confirmTitle
            text: qsTr("It will be the current mouse model automatically next time log in")
            onSigVerConfirmClicked: {
                conf.SetCurrentMouse(navigator.confirmTitle)
                navigator.modelConfirmed(navigator.confirmTitle)
            }
        }
    }
    BoxLoader {
        anchors.centerIn: parent
        active: updatePrompt.shown
        sourceComponent: QXMsgBox {
            objectName: "updateBox"
            title: qsTr("New version update")
            text: qsTr("The current software is not the latest version, please\ngo to the official website to download the latest version")
            onSigCancleClicked: updatePrompt.cancel()
            onSigSureClicked: updatePrompt.confirm()
        }
    }
    KeyCombinationBox {
        id: combinationBox
        objectName: "combinationBox"
        anchors.centerIn: parent
        visible: mainWindow.combinationTag !== ""
        onSigAccepted: mainWindow.combinationAnswered(texts)
        onSigCanceled: mainWindow.combinationAnswered(undefined)
    }
    BoxLoader {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 60
        active: navigator.infoVisible
        sourceComponent: InformationBox {
            objectName: "infoBox"
            bMark: navigator.infoSuccess
            text: navigator.infoText
        }
    }
    BoxLoader {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 60
        active: navigator.enterFailVisible
        sourceComponent: EnterPairFail {
            objectName: "enterPairFail"
        }
    }

    Component.onCompleted: {
        x = (Screen.width - width) / 2
        y = (Screen.height - height) / 2
    }
}
