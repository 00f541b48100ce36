// A single-line field with a grey hint and an optional input pattern ("email" or
// "password"); password fields show bullets. sigEditFinished: focus lost or gained
// while holding text; sigTextEdit: every change.
import QtQuick 2.15
import an.utility 1.0
import QtQuick.Controls 2.15
import Account.Pages 1.0

TextField {
    id: field
    property string hint: ""
    property string pattern: ""
    property bool password: false
    property url icon: ""
    // The form's error line, read with the field's name.
    property string errorText: ""

    signal sigEditFinished()
    signal sigTextEdit()

    width: 300
    height: 38
    leftPadding: icon != "" ? 38 : 12
    rightPadding: 12
    font.pixelSize: 14
    color: Palette.formText
    selectByMouse: true
    placeholderText: hint
    placeholderTextColor: Palette.placeholder
    echoMode: password ? TextInput.Password : TextInput.Normal
    Accessible.name: hint
    // Qt 5 keeps a password field's name to itself: there the description names it.
    Accessible.description: password ? (errorText !== "" ? hint + ": " + errorText : hint) : errorText
    passwordCharacter: "\u2022"
    validator: pattern === "email" ? emailPattern : pattern === "password" ? passwordPattern : null

    onActiveFocusChanged: if (text.length > 0) sigEditFinished()
    onTextChanged: sigTextEdit()

    background: Rectangle {
        radius: 4
        color: "white"
        border.width: 1
        border.color: field.activeFocus ? Palette.link : "#d0d5dc"
        Image {
            visible: field.icon != ""
            source: field.icon
            x: 10
            anchors.verticalCenter: parent.verticalCenter
            sourceSize: Qt.size(20, 20)
            Accessible.ignored: true
        }
    }

    EmailValidator { id: emailPattern }
    PasswordValidator { id: passwordPattern }
}
