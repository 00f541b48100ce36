// The function list of a key, with the detail panel of the functions that take a
// parameter (web address, file, folder, program, sound, pointer speeds).
import QtQuick 2.15
import QtQuick.Controls 2.15
import Operate.Conf.OpFunConfFile 1.0
import an.utility 1.0

Item {
    id: root
    property int itemCount: items.count
    property string titleText: ""
    property int usrCurrentIndex: -1
    property int isInitMainSpeed: 1
    property int isInitSelfSpeed: 1

    signal sigSelItemIndex(int itemIndex, string itemName)
    signal sigUsrIndexUrl(int index, string fileUrl)
    signal sigUsrSpeed(int speedType, int speed)

    width: 310
    height: 560

    OpFunConfFile { id: conf }
    AssignRules { id: rules }

    ListModel { id: items }
    Component.onCompleted: {
        var names = [qsTr("Media Player"), qsTr("Open Web page"), qsTr("Open file"),
            qsTr("Open floder"), qsTr("Open application"), qsTr("Play sound"), qsTr("Mouse speed"),
            qsTr("My picture"), qsTr("My Documents"), qsTr("My computer"), qsTr("My video"),
            qsTr("My music"), qsTr("Copy"), qsTr("Clipping"), qsTr("Paste"), qsTr("Shutdown"),
            qsTr("Reboot"), qsTr("Max window"), qsTr("Min window"), qsTr("Log out"),
            qsTr("Homepage"), qsTr("Close window"), qsTr("Increase volume"), qsTr("Search"),
            qsTr("Show/hide desktop"), qsTr("Calculator"), qsTr("Lower volume"), qsTr("Silent"),
            qsTr("Lock screen"), qsTr("Select All"), qsTr("New"), qsTr("Save"), qsTr("Print"),
            qsTr("Resource manager"), qsTr("Mouse left click"), qsTr("Mouse right click"),
            qsTr("Forward"), qsTr("Backward"), qsTr("Roll forward"), qsTr("Roll back"),
            qsTr("Roll left"), qsTr("Roll right"), qsTr("Run"), qsTr("Zoom In"), qsTr("Zoom Out"),
            qsTr("Switch application"), qsTr("Windows menu"), qsTr("Play/Pause"), qsTr("Stop"),
            qsTr("Previous"), qsTr("Next"), qsTr("DoubleClick"), qsTr("None")]
        for (var i = 0; i < names.length; ++i)
            items.append({"issueName": names[i], "btn_state": i >= 1 && i <= 6,
                          "isSelectItem": "normal"})
    }

    function mark(pIndex) {
        for (var i = 0; i < items.count; ++i)
            items.setProperty(i, "isSelectItem", i === pIndex ? "pressed" : "normal")
    }
    function getIndexName(pIndex) {
        return pIndex >= 0 && pIndex < items.count ? items.get(pIndex).issueName : ""
    }
    // Shows the detail panel of `pIndex` (none for items without one).
    function proUsrSelInput(pIndex) {
        panel.kind = pIndex >= 1 && pIndex <= 6 ? pIndex : 0
        root.width = panel.kind ? 580 : 310
    }
    // Puts the stored parameter of `pIndex` into the panel; writes nothing.
    function proDataFromIni(pIndex, tag) {
        var kinds = ["", "WebUrl", "FilePath", "FloderPath", "AppPath", "SoundPath"]
        var paramPrefix = rules.paramPrefix(tag)
        if (paramPrefix === "")
            return
        conf.syncMouseIni()
        if (pIndex >= 1 && pIndex <= 5) {
            var value = conf["Get" + paramPrefix + kinds[pIndex]]()
            input.text = value === "NULL" ? "" : value
        } else if (pIndex === 6) {
            var speeds = [conf["Get" + paramPrefix + "MainSpeed"](),
                conf["Get" + paramPrefix + "SelfSpeed"]()]
            var sliders = [mainSlider, selfSlider]
            for (var s = 0; s < 2; ++s)
                if (speeds[s] !== "" && speeds[s] !== "NULL" && speeds[s] !== "none")
                    sliders[s].value = Number(speeds[s])
        }
    }
    function keyIsSelectItem(pIndex, tag) {
        mark(pIndex)
        usrCurrentIndex = pIndex
        titleText = getIndexName(pIndex)
        proUsrSelInput(pIndex)
        proDataFromIni(pIndex, tag)
    }
    function f_removeItem(position) {
        items.remove(position)
    }
    function refreshListModelCount() {
        itemCount = items.count
    }

    FunctionList {
        id: list
        height: parent.height
        model: items
        titleText: root.titleText
        onPicked: {
            root.mark(index)
            root.titleText = root.getIndexName(index)
            root.usrCurrentIndex = index
            root.proUsrSelInput(index)
            root.sigSelItemIndex(index, root.getIndexName(index))
        }
    }

    Rectangle {
        id: panel
        property int kind: 0
        visible: kind > 0
        x: 320
        width: 260
        height: 220
        radius: 8
        color: "#262b34"
        border.color: "#3a4250"
        TextField {
            id: input
            objectName: "parameterInput"
            visible: panel.kind >= 1 && panel.kind <= 5
            focus: visible && panel.kind === 1
            x: 14
            y: 20
            width: parent.width - 28
            selectByMouse: true
            onTextEdited: root.sigUsrIndexUrl(root.usrCurrentIndex, text)
        }
        Column {
            visible: panel.kind === 6
            x: 14
            y: 12
            spacing: 4
            Text { color: "#e6ebf2"; font.pixelSize: 14; text: qsTr("Set the seepd of mouse") }
            Text { color: "#c9d1dc"; text: qsTr("Main") }
            Slider {
                id: mainSlider
                width: 230; from: 1; to: 20; stepSize: 1
                onMoved: root.sigUsrSpeed(0, value)
            }
            Text { color: "#c9d1dc"; text: qsTr("Self") }
            Slider {
                id: selfSlider
                width: 230; from: 1; to: 20; stepSize: 1
                onMoved: root.sigUsrSpeed(1, value)
            }
        }
    }
}
