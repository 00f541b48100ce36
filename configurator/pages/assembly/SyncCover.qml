// The sync panel on its transparent cover, with the upload and download requests.
// A choice closes panel and cover at once; the result arrives later through
// sigSyncResult(text, success, downloaded): the information box's text, its icon,
// and whether it answers a download, after which the pages show the settings
// again (a download that could not be written is in them all the same).
import QtQuick 2.15
import Account.Manager.SaveConfigInfo 1.0
import Account.Manager.GetDriverConf 1.0
import Account.Pages 1.0

PanelCover {
    id: cover

    signal sigSyncResult(string text, bool success, bool downloaded)
    // The server no longer knows the session the request was made with.
    signal sigSessionEnded()

    function answered(sync, rCode, rMsg) {
        if (AccountForms.endsSession(rCode))
            sigSessionEnded()
        sigSyncResult(AccountForms.syncResultText(sync, rCode, rMsg), rCode === 0,
                      sync === AccountForms.Download)
    }
    SaveConfigInfo {
        id: upload
        onSigSaveConfRet: cover.answered(AccountForms.Upload, rCode, rMsg)
    }
    GetDriverConf {
        id: download
        onSigGetConfRet: cover.answered(AccountForms.Download, rCode, rMsg)
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
