// A box made when it opens (`active`) and released when it closes. Made shown,
// the box takes the keyboard, as a box does when it turns visible.
import QtQuick 2.15

Loader {
    onLoaded: if (item.takeKeyboard)
                  item.takeKeyboard()
}
