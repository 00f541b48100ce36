// A page's line of error text, cleared 3 s after it was set (see TimedMessage).
// Room for two lines: a longer message wraps, and one that still does not fit is
// drawn smaller rather than cut.
import QtQuick 2.15
import an.utility 1.0
import Account.Pages 1.0

Text {
    id: line
    property alias message: timed
    // The line reports a success (drawn as one) instead of an error.
    property bool success: false
    signal cleared()
    function show(line) { timed.show(line) }

    text: timed.text
    // Read out as it appears.
    Accessible.role: Accessible.AlertMessage
    Accessible.name: text
    width: 300
    height: 32
    color: success ? Palette.success : Palette.error
    font.pixelSize: 12
    horizontalAlignment: Text.AlignHCenter
    verticalAlignment: Text.AlignTop
    wrapMode: Text.Wrap
    fontSizeMode: Text.Fit
    minimumPixelSize: 8

    TimedMessage {
        id: timed
        onCleared: line.cleared()
    }
}
