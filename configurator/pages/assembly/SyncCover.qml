// The sync panel on its transparent cover, with the upload and download requests.
// A choice closes panel and cover at once; the result arrives later through
// sigSyncResult(text, success, downloaded): the information box's text, its icon,
// and whether the settings file now holds a downloaded configuration to show.
import QtQuick 2.15
import Account.Manager.SaveConfigInfo 1.0
import Account.Manager.GetDriverConf 1.0
import Account.Pages 1.0
import QtQuick.Window 2.15
import "focus.js" as Focus

Item {
    id: cover
    anchors.fill: parent
    visible: false

    // Where the panel's top right corner sits (under the "Sync" button).
    property point panelAnchor: Qt.point(width - 120, 56)

    signal sigSyncResult(string text, bool success, bool downloaded)

    // Opened, the panel has the keyboard; Esc closes it; closed, the keyboard goes
    // back to the page.
    function open() {
        visible = true
        Qt.callLater(Focus.first, cover)
    }
    function close() {
        var hadKeyboard = Focus.isInside(Window.activeFocusItem, cover)
        visible = false
        if (hadKeyboard)
            Qt.callLater(Focus.first, cover.parent)
    }
    Keys.onEscapePressed: close()
    Keys.onTabPressed: Focus.cycle(cover, Window.activeFocusItem, true)
    Keys.onBacktabPressed: Focus.cycle(cover, Window.activeFocusItem, false)

    SaveConfigInfo {
        id: upload
        onSigSaveConfRet: cover.sigSyncResult(
                              AccountForms.syncResultText(AccountForms.Upload, rCode, rMsg),
                              rCode === 0, false)
    }
    GetDriverConf {
        id: download
        onSigGetConfRet: cover.sigSyncResult(
                             AccountForms.syncResultText(AccountForms.Download, rCode, rMsg),
                             rCode === 0, rCode === 0)
    }

    MouseArea { // takes the pointer's hover too, as the other covers do
        objectName: "outside"
        anchors.fill: parent
        hoverEnabled: true
        onClicked: cover.close()
    }
    QXSync {
        objectName: "syncPanel"
        x: cover.panelAnchor.x - width
        y: cover.panelAnchor.y
        onSigUpload: {
            cover.close()
            upload.VlSaveConfigInfoJson()
        }
        onSigDownload: {
            cover.close()
            download.VlDownConfigInfoJson()
        }
        MouseArea { // clicks between the buttons stay on the panel
            anchors.fill: parent
            z: -1
        }
    }
}
