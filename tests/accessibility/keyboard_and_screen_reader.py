#!/usr/bin/python3
"""The configurator as a keyboard-only user with a screen reader meets it.

Runs the built configurator (with the simulated mouse) in a virtual display of its
own, with openbox and the accessibility bus, and reads it through AT-SPI, as screen
readers do. Keys are real X key events (xdotool). Checks, in English and Chinese:
every interactive item shown has a name and a role, the focus never rests on an
item that is not shown, and the pages can be worked from the keyboard alone (the
model, a key's function, a web address, a program set, registering, signing in and
uploading against the built account server, a page's shortcut, pairing), with the
settings files read afterwards.

    keyboard_and_screen_reader.py <folder of the built programs> [language]

Without a language it runs itself once per language, each on a session bus of its
own (AT-SPI's registry stays bound to the bus it first met).
"""
import configparser
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi

BIN = os.path.abspath(sys.argv[1])
if len(sys.argv) < 3:
    results = [subprocess.run(["dbus-run-session", "--", sys.executable, sys.argv[0], BIN, lang])
               .returncode for lang in ("en_US", "zh_CN")]
    sys.exit(1 if any(results) else 0)
LANGUAGE = sys.argv[2]
INTERACTIVE = {"push button", "radio button", "check box", "text", "password text", "slider",
               "list item", "link", "page tab", "combo box", "menu item", "spin button",
               "toggle button", "list", "scroll bar"}
failures = []


def fail(text):
    failures.append(text)
    print("FAIL:", text)


class Session:
    """Xvfb, openbox, the accessibility bus and one run of the configurator."""

    def __init__(self, language, server=None):
        self.work = tempfile.mkdtemp(prefix="velko-a11y-")
        display = 90
        while os.path.exists("/tmp/.X11-unix/X%d" % display):
            display += 1
        os.environ["DISPLAY"] = ":%d" % display
        self.procs = [subprocess.Popen(["Xvfb", os.environ["DISPLAY"], "-screen", "0",
                                        "1280x900x24", "-noreset", "-nolisten", "tcp"],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)]
        for _ in range(50):
            if os.path.exists("/tmp/.X11-unix/X%d" % display):
                break
            time.sleep(0.1)
        quiet = dict(stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.procs.append(subprocess.Popen(["openbox"], **quiet))
        self.procs.append(subprocess.Popen(["/usr/libexec/at-spi-bus-launcher",
                                            "--launch-immediately"], **quiet))
        time.sleep(1)
        app = os.path.join(self.work, "app")
        os.makedirs(app)
        for program in ("VelkoOptionsGUI", "VelkoOptions"):
            shutil.copy(os.path.join(BIN, program), app)
        if os.path.isdir(os.path.join(BIN, "font")):
            shutil.copytree(os.path.join(BIN, "font"), os.path.join(app, "font"))
        self.system = os.path.join(app, "system")
        if server:
            os.makedirs(self.system)
            with open(os.path.join(self.system, "mouse.ini"), "w") as f:
                f.write("[SET]\nserver=%s\n" % server)
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb",
                   LANGUAGE=language.split("_")[0], LC_ALL=language + ".UTF-8",
                   HOME=self.work, XDG_CONFIG_HOME=os.path.join(self.work, "config"))
        self.log = open(os.path.join(self.work, "gui.log"), "w+")
        self.gui = subprocess.Popen([os.path.join(app, "VelkoOptionsGUI"), "--simulated-mouse"],
                                    env=env, stdout=self.log, stderr=subprocess.STDOUT)
        self.procs.append(self.gui)
        if not wait(lambda: self.app() is not None and focusables(self.app()), 30):
            self.close()
            raise SystemExit("FAIL: the configurator never showed up on the accessibility bus")

    def app(self):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "VelkoOptionsGUI":
                return app
        return None

    def settings(self, name):
        parser = configparser.ConfigParser(interpolation=None, strict=False)
        parser.optionxform = str
        parser.read(os.path.join(self.system, name), encoding="utf-8")
        return parser

    def close(self):
        subprocess.run(["pkill", "-f", os.path.join(self.work, "app")], check=False)
        for proc in reversed(self.procs):
            proc.terminate()
        for proc in self.procs:
            try:
                proc.wait(5)
            except subprocess.TimeoutExpired:
                proc.kill()
        self.log.seek(0)
        warnings = [l for l in self.log if "qrc:/" in l or "QML" in l]
        for line in warnings:
            fail("QML warning: " + line.strip())
        shutil.rmtree(self.work, ignore_errors=True)


def wait(predicate, seconds=5):
    end = time.time() + seconds
    while time.time() < end:
        try:
            if predicate():
                return True
        except Exception:  # a node can vanish while it is read
            pass
        time.sleep(0.1)
    return False


def nodes(node):
    for child in node:
        if child is not None:
            yield child
            yield from nodes(child)


def shown(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def focusables(app):
    return [n for n in nodes(app) if shown(n) and n.getRoleName() in INTERACTIVE]


def focused(app):
    found = [n for n in nodes(app) if n.getState().contains(pyatspi.STATE_FOCUSED)]
    return found[-1] if found else None  # the innermost: a list's entry, not the list


def focus_name(app):
    node = focused(app)
    # Qt 5 names a password field in its description only.
    return (node.name or node.description) if node is not None else None


def key(name):
    subprocess.run(["xdotool", "key", name], check=True)
    time.sleep(0.25)


def type_text(text):
    subprocess.run(["xdotool", "type", "--delay", "40", text], check=True)
    time.sleep(0.3)


def check_page(s, page):
    """Every interactive item shown has a name; the focus is on a shown item."""
    app = s.app()
    for node in focusables(app):
        if not node.name.strip() and not node.description.strip():
            if node.getRoleName() not in ("scroll bar", "list"):
                fail("%s: a %s without a name" % (page, node.getRoleName()))
    node = focused(app)
    if node is not None and not shown(node):
        fail("%s: the focus is on %r, which is not shown" % (page, node.name))


def tab_to(s, name, limit=40):
    """Tab until the item called `name` has the focus; every stop is shown."""
    for _ in range(limit):
        key("Tab")
        node = focused(s.app())
        if node is None:
            fail("Tab left the focus nowhere (looking for %r)" % name)
            return False
        if not shown(node):
            fail("Tab stopped on %r, which is not shown" % node.name)
        if node.name == name:
            return True
    fail("Tab never reached %r" % name)
    return False


def expect_focus(s, name, step):
    if not wait(lambda: focus_name(s.app()) == name, 3):
        fail("%s: the focus is on %r, not %r" % (step, focus_name(s.app()), name))


class AccountServer:
    """The built account server on a free loopback port, with the cheapest hashing."""

    def __init__(self):
        self.data = tempfile.mkdtemp(prefix="velko-a11y-server-")
        log = os.path.join(self.data, "server.log")
        with open(log, "w") as out:
            self.proc = subprocess.Popen(
                [os.path.join(BIN, "velko-account-server"), "--listen", "127.0.0.1", "--port",
                 "0", "--data", os.path.join(self.data, "data"), "--argon2-memory-kib", "8",
                 "--argon2-passes", "1"], stdout=out, stderr=subprocess.STDOUT)
        found = []
        wait(lambda: found.extend(re.findall(r"listening on (http://127\.0\.0\.1:\d+)",
                                             open(log).read())) or found, 10)
        if not found:
            self.close()
            raise SystemExit("FAIL: the account server did not start")
        self.url = found[0]

    def close(self):
        self.proc.terminate()
        self.proc.wait(5)
        shutil.rmtree(self.data, ignore_errors=True)


def shown_alert(s, text):
    return any(n.getRoleName() == "alert" and n.name == text and shown(n) for n in nodes(s.app()))


def walk_in_english():
    server = AccountServer()
    s = Session("en_US", server.url)
    try:
        check_page(s, "model page")
        if tab_to(s, "QX210"):
            key("Right")
            expect_focus(s, "QX330", "an arrow key on the models")
            key("Left")
            expect_focus(s, "QX210", "back to QX210")
        if tab_to(s, "Confirm"):
            key("Return")
            expect_focus(s, "Sure", "the confirmation box")
            check_page(s, "confirmation box")
            key("Return")
        if not wait(lambda: s.settings("mouse.ini").get("SET", "mouse", fallback="") == "QX210"):
            fail("the model was not stored")
        check_page(s, "connection page")

        # A key's function: open the list from the hot spot, a first letter, Enter.
        if tab_to(s, "Right key: None"):
            key("Return")
            for _ in range(12):
                if focus_name(s.app()) == "Copy":
                    break
                key("c")
            expect_focus(s, "Copy", "typing C in the right key's list")
            check_page(s, "right key's list")
            key("Return")
            if not wait(lambda: s.settings("QX210.ini").get("SET", "Right_key", fallback="")
                        .startswith("Copy-")):
                fail("Enter on Copy did not store it")
            key("Escape")
            expect_focus(s, "Right key: Copy", "Esc closes the list")

        # A side key opens a web address; Enter on the function puts the cursor
        # in the address.
        if tab_to(s, "Side up key: None"):
            key("Return")
            key("Home")
            key("Down")
            expect_focus(s, "Open Web page", "Home, then Down")
            key("Return")
            expect_focus(s, "Enter a web address", "the web address panel")
            type_text("example.com")
            if not wait(lambda: s.settings("QX210.ini").get("PATH", "slider_up_web_url",
                                                             fallback="") == "example.com"):
                fail("the typed web address was not stored")
            key("Escape")
            expect_focus(s, "Side up key: Open Web page", "Esc from the address field")

        # The log-in pop-up: the keyboard goes to its first field, Esc closes it.
        if tab_to(s, "Login/Register"):
            key("Return")
            expect_focus(s, "mailbox", "the log-in pop-up")
            check_page(s, "log-in pop-up")
            if tab_to(s, "Forget password?"):  # the keyboard passes the back button by
                key("Return")
                expect_focus(s, "mailbox", "the password recovery form")
            key("Escape")
            expect_focus(s, "Login/Register", "Esc closes the pop-up")

        # A program set, from the programs with a window open; the other program's
        # window takes the focus as it opens, and the user switches back.
        other = subprocess.Popen(["xmessage", "A window of another program"],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        s.procs.append(other)
        time.sleep(1)
        subprocess.run(["xdotool", "search", "--name", "^Velko Options$", "windowactivate",
                        "--sync"], check=False)
        if tab_to(s, "Add program"):
            key("Return")
            expect_focus(s, "Xmessage", "the menu of open programs, as it opens")
            key("Down")
            expect_focus(s, "Choose a program file...", "Down in the menu")
            key("Up")
            expect_focus(s, "Xmessage", "Up in the menu")
            key("Return")
            if not wait(lambda: s.settings("QX210.ini").get("PROGRAM1", "program", fallback="")):
                fail("the program set was not added")
            if not wait(lambda: any(n.name == "Xmessage" and n.getRoleName() == "radio button" and
                                    n.getState().contains(pyatspi.STATE_CHECKED)
                                    for n in focusables(s.app()))):
                fail("the new program set is not shown as the selected one")

        # A box closed from the keyboard gives it back to what opened the box.
        if tab_to(s, "Reset"):
            key("Return")
            expect_focus(s, "Only this", "the restore box")
            key("Escape")
            expect_focus(s, "Reset", "Esc from the restore box")

        # Register, sign in and upload, from the keyboard, against the server.
        if tab_to(s, "Login/Register"):
            key("Return")
            expect_focus(s, "mailbox", "the log-in pop-up")
            key("shift+Tab")
            expect_focus(s, "Register", "Shift+Tab to the Register tab")
            key("Return")
            expect_focus(s, "username", "the registration form")
            for text in ("Ann", "ann@example.com", "Velko-first-pw1"):
                type_text(text)
                key("Tab")
            type_text("Velko-first-pw1")
            key("Return")  # Enter sends the form
            if not wait(lambda: shown_alert(s, "Registered") or
                        focus_name(s.app()) == "password", 10):
                fail("registering from the keyboard gave no result")
            # The address is filled in: the keyboard waits in the password field.
            expect_focus(s, "password", "back at the log-in form after registering")
            type_text("Velko-first-pw1")
            key("Return")
            if not wait(lambda: focus_name(s.app()) == "Account: Ann", 10):
                fail("signing in from the keyboard: the focus is on %r" % focus_name(s.app()))
            if tab_to(s, "Sync"):
                key("Return")
                expect_focus(s, "Upload set", "the sync panel")
                key("Escape")
                expect_focus(s, "Sync", "Esc from the sync panel")
            key("alt+4")
            expect_focus(s, "Upload set", "Alt+4 opens the sync panel")
            key("Return")
            if not wait(lambda: shown_alert(s, "Upload success"), 10):
                fail("the upload's result was not announced")

        # A page's shortcut, and Esc back to where the keyboard was.
        if tab_to(s, "Pair"):
            key("alt+5")
            if not wait(lambda: any(n.name == "Software" for n in nodes(s.app()) if shown(n))):
                fail("Alt+5 did not open the About page")
            check_page(s, "About page")
            key("Escape")
            expect_focus(s, "Pair", "Esc from the About page")

            # Pairing from the keyboard, with the simulated receiver.
            key("Return")
            check_page(s, "pairing steps")
            if tab_to(s, "Pair"):
                key("Return")
                if not wait(lambda: any(n.name == "Turn on the mouse power switch"
                                        for n in nodes(s.app()) if shown(n)), 10):
                    fail("the pairing page did not come")
    finally:
        s.close()
        server.close()


def names_in_chinese():
    s = Session("zh_CN")
    try:
        check_page(s, "model page (zh_CN)")
        names = [n.name for n in focusables(s.app())]
        if "确认" not in names:
            fail("the Confirm button is not named in Chinese: %s" % names)
        if tab_to(s, "确认"):
            key("Return")
            key("Return")
        check_page(s, "connection page (zh_CN)")
        names = [n.name for n in focusables(s.app())]
        if not any(name.startswith("右键") for name in names):
            fail("the right key's hot spot is not named in Chinese: %s" % names)
    finally:
        s.close()


if LANGUAGE == "zh_CN":
    names_in_chinese()
else:
    walk_in_english()
if failures:
    print("%d failure(s)" % len(failures))
    sys.exit(1)
print("PASS")
