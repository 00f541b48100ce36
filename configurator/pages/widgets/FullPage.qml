// A full page with the window strip: logo at the left, minimise and close at the
// right.
import QtQuick 2.15
import an.utility 1.0
import "../assembly"

Rectangle {
    id: root
    signal sigHidden()
    signal sigMinWindow()
    property bool showWindowButtons: true

    color: Palette.page
    Image {
        x: 16
        y: 10
        source: "qrc:/images/logo.svg"
        sourceSize: Qt.size(30, 30)
        Accessible.ignored: true
    }
    // The page's own items go in here, before minimise and close, so that Tab
    // reaches those last, as they sit at the right end of the top row.
    default property alias content: body.data
    Item {
        id: body
        anchors.fill: parent
    }
    WindowButtons {
        visible: root.showWindowButtons
        anchors.right: parent.right
        anchors.rightMargin: 10
        y: 9
        onSigMinimum: root.sigMinWindow()
        onSigHidden: root.sigHidden()
    }
}
