// The receiver did not enter pairing mode.
import QtQuick 2.15

InformationBox {
    bMark: false
    text: qsTr("Failed to prepare, please follow the \nsteps below to try again")
}
