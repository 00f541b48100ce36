// The dark cover with the log-in pop-up. open() creates a fresh pop-up on the
// Login tab; close() destroys it with everything typed and the code kept. A click
// on the cover outside the pop-up closes it, and so does a log-in or a password
// reset, after their signals have been passed on.
import QtQuick 2.15

Item {
    id: cover
    anchors.fill: parent
    visible: false

    signal sigSignState(string code, string text)
    signal sigResetPwdSuccess()

    function open() {
        loader.active = true
        visible = true
    }
    function close() {
        visible = false
        loader.active = false
    }

    Rectangle {
        anchors.fill: parent
        color: "black"
        opacity: 0.8
    }
    MouseArea {
        objectName: "outside"
        anchors.fill: parent
        onClicked: cover.close()
    }
    Loader {
        id: loader
        objectName: "loader"
        active: false
        anchors.centerIn: parent
        sourceComponent: LoginAndRegister {
            objectName: "popup"
            onSigSignState: {
                cover.sigSignState(code, text)
                if (code === "sign_in")
                    cover.close()
            }
            onSigResetPwdSuccess: {
                cover.sigResetPwdSuccess()
                cover.close()
            }
        }
    }
}
