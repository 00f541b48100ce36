// Keyboard focus kept inside an open list or box: Tab and Shift+Tab go round the
// items of `scope` only.
.pragma library
.import QtQuick 2.15 as Quick

function isInside(item, scope) {
    for (var at = item; at; at = at.parent)
        if (at === scope)
            return true
    return false
}

// Gives the focus to the next (or previous) item after `from` in Tab order that
// lies inside `scope`, is shown and, given `accepts`, is one it accepts; none
// when the chain comes round to `from`. True when one took the focus.
function move(scope, from, forward, accepts) {
    var next = from
    for (var i = 0; i < 500; ++i) {
        next = next.nextItemInFocusChain(forward)
        if (!next || next === from)
            return false
        if (isInside(next, scope) && next.visible && next.enabled && (!accepts || accepts(next))) {
            next.forceActiveFocus(forward ? Qt.TabFocusReason : Qt.BacktabFocusReason)
            return true
        }
    }
    return false
}

// Tab in `scope`: round its items, wrapping at its ends; `from` has the focus.
function cycle(scope, from, forward) {
    if (!scope.visible) { // closed while a pointer user had it: on to what is shown
        var top = scope
        while (top.parent)
            top = top.parent
        first(top)
        return
    }
    move(scope, from, forward)
}

// What keeps the keyboard around `item` (an open box, list, pop-up or panel that
// sets `keepsKeyboard`): Tab and Shift+Tab go round it. None: the window's order.
function keeper(item) {
    for (var at = item; at; at = at.parent)
        if (at.keepsKeyboard === true)
            return at
    return null
}

// The first focusable item of `scope` in Tab order, given it.
function first(scope) {
    move(scope, scope, true)
}

// Whether `item` can take the keyboard: shown, enabled and reached by Tab (a focus
// scope left holding the focus, a page's loader, is not a place to type into).
function usable(item) {
    return item && item.visible && item.enabled && item.activeFocusOnTab
}

// Gives the keyboard back to `item` where it still can take it, else to the first
// item of `scope`.
function restore(item, scope) {
    if (usable(item))
        item.forceActiveFocus(Qt.OtherFocusReason)
    else
        first(scope)
}

// The first empty text field of `scope` in Tab order, given it (a form's back
// button comes before its fields, and an address filled in for the user needs no
// typing); with every field filled, the first field; without one, its first
// focusable item.
function firstField(scope) {
    var isField = function(item) { return item.cursorPosition !== undefined }
    if (!move(scope, scope, true, function(item) { return isField(item) && item.text === "" }) &&
            !move(scope, scope, true, isField))
        first(scope)
}

// Home, End and a typed letter in a function list: the first entry, the last,
// or the next entry whose text starts with the letter (wrapping round). True when
// the key moved the list.
function listKey(list, model, event) {
    if (event.key === Qt.Key_Home)
        list.currentIndex = 0
    else if (event.key === Qt.Key_End)
        list.currentIndex = model.count - 1
    else if (/^[^\s\x00-\x1f\x7f]$/.test(event.text) && !(event.modifiers & Qt.ControlModifier)) {
        var letter = event.text.toLowerCase()
        for (var step = 1; step <= model.count; ++step) {
            var i = (list.currentIndex + step) % model.count
            if (String(model.get(i).issueName).toLowerCase().indexOf(letter) === 0) {
                list.currentIndex = i
                break
            }
        }
    } else {
        return false
    }
    list.positionViewAtIndex(list.currentIndex, Quick.ListView.Contain)
    return true
}

// Gives a function list the keyboard, at the marked entry or else the first.
function takeList(list, marked) {
    list.currentIndex = marked >= 0 ? marked : 0
    list.forceActiveFocus(Qt.OtherFocusReason)
}
