// A page's line of error text, cleared 3 s after it was set (see TimedMessage).
import QtQuick 2.15
import Account.Pages 1.0

Text {
    id: line
    property alias message: timed
    // The line reports a success (drawn as one) instead of an error.
    property bool success: false
    signal cleared()
    function show(line) { timed.show(line) }

    text: timed.text
    width: 300
    height: 20
    color: success ? "#1f9d55" : "#e5484d"
    font.pixelSize: 12
    horizontalAlignment: Text.AlignHCenter
    elide: Text.ElideRight

    TimedMessage {
        id: timed
        onCleared: line.cleared()
    }
}
