// The function list of a wheel.
import QtQuick 2.15

Item {
    id: root
    property string titleText: ""
    property int issueCount: items.count

    signal sigSelIssue(int issueIndex, string issueName)

    width: 310
    height: 380

    ListModel { id: items }
    Component.onCompleted: {
        var names = [qsTr("Volume control"), qsTr("Scroll horizontally"),
            qsTr("Switch applications"), qsTr("Brightness control"), qsTr("Tab Previous/Next"),
            qsTr("Zoom in/out"), qsTr("Song Previous/Next"), qsTr("Play/Pause"), qsTr("Stop"),
            qsTr("None")]
        for (var i = 0; i < names.length; ++i)
            items.append({"issueName": names[i], "btn_state": false, "isSelectItem": "normal"})
    }

    function getIndexName(pIndex) {
        return pIndex >= 0 && pIndex < items.count ? items.get(pIndex).issueName : ""
    }
    function wheelIsSelectItem(pIndex) {
        for (var i = 0; i < items.count; ++i)
            items.setProperty(i, "isSelectItem", i === pIndex ? "pressed" : "normal")
        titleText = getIndexName(pIndex)
    }
    function removeWheelItem(position) {
        items.remove(position)
    }
    function refreshWheelItemCount() {
        issueCount = items.count
    }

    FunctionList {
        height: parent.height
        model: items
        pickOnPress: true
        titleText: root.titleText
        onPicked: {
            root.wheelIsSelectItem(index)
            root.sigSelIssue(index, root.getIndexName(index))
        }
    }
}
