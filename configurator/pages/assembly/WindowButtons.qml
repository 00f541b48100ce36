// Minimise and close, at the top right of the full pages.
import QtQuick 2.15

Row {
    signal sigMinimum()
    signal sigHidden()
    spacing: 4
    IconButton {
        objectName: "minimumButton"
        source: "qrc:/images/minimize.svg"
        name: qsTr("Minimise")
        onClicked: parent.sigMinimum()
    }
    IconButton {
        objectName: "closeButton"
        source: "qrc:/images/close.svg"
        name: qsTr("Close")
        onClicked: parent.sigHidden()
    }
}
