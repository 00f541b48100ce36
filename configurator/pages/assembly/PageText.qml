// A text of a page that screen readers read as it stands.
import QtQuick 2.15

Text {
    Accessible.role: Accessible.StaticText
    Accessible.name: text
}
