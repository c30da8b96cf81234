#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
"""Runs the real window under Debian's own screen reader and checks what it says.

A private X server with a window manager, a D-Bus session with the
accessibility bus, speech-dispatcher with its dummy voice and Orca, whose
debug output records every utterance ("SPEECH OUTPUT"). The worked example is
typed with real key presses and one mouse click, and after each press the
utterances that follow it are compared with what a blind player must hear.

Usage: test_screen_reader.py PATH/TO/tarvelin
"""

import contextlib
import fcntl
import os
import re
import signal
import socket
import subprocess
import sys
import tempfile
import time

# One Orca per user at a time: a second refuses to start.
LOCK = "/tmp/tarvelin-screen-reader.lock"
WAIT = 20.0  # seconds for anything expected to happen
QUIET = 1.0  # seconds without speech that end a step

SPEECHD_CONF = """CommunicationMethod "unix_socket"
SocketPath "default"
AddModule "dummy" "sd_dummy" ""
DefaultModule dummy
AudioOutputMethod "libao"
"""

# Orca's own reports of an event it could not speak.
ORCA_ERRORS = ("bad content sent to speak", "ERROR: Could not process")
# Roles as the steps below name them. at-spi 2.56 renamed the push button
# to "button" (BUTTON) but kept its number, which is compared instead.
ROLES = {"text": "TEXT", "check box": "CHECK_BOX", "push button": "PUSH_BUTTON"}
# The line each Orca release writes once it listens: 43, then 48.
ORCA_STARTED = ("ORCA: Startup complete", "ORCA: Starting Atspi main event loop")


class Broken(Exception):
    """What failed, worded for the person reading the test log."""


def wait_for(what, check, timeout=WAIT):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        result = check()
        if result:
            return result
        time.sleep(0.05)
    raise Broken(f"timed out after {timeout:.0f} s waiting for {what}")


def accepts(path):
    """Whether a Unix socket at path takes a connection."""
    with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as client:
        try:
            client.connect(path)
        except OSError:
            return False
    return True


class Desktop:
    """The X server, session bus, window manager, speech server and Orca."""

    def __init__(self, folder):
        self.folder = folder
        self.processes = []
        run = os.path.join(folder, "run")
        os.mkdir(run, 0o700)
        self.env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": folder,
            "XDG_RUNTIME_DIR": run,
            "XDG_CONFIG_HOME": os.path.join(folder, "config"),
            "LANG": "C.UTF-8",
        }
        self.orca_log = os.path.join(folder, "orca.log")
        self.window_log = os.path.join(folder, "tarvelin.log")

    def start(self, name, command, **kwargs):
        try:
            process = subprocess.Popen(command, env=self.env, start_new_session=True, **kwargs)
        except FileNotFoundError as error:
            raise Broken(f"{name} is not installed ({error.filename})") from error
        self.processes.append((name, process))
        return process

    def up(self):
        read, write = os.pipe()
        self.start("Xvfb", ["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24",
                            "-nolisten", "tcp"], pass_fds=(write,), stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as displays:
            display = displays.readline().strip()
        if not display:
            raise Broken("Xvfb did not come up")
        self.env["DISPLAY"] = ":" + display

        bus = self.start("the D-Bus session bus",
                         ["dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=1"],
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        address = bus.stdout.readline().strip()
        if not address:
            raise Broken("the D-Bus session bus did not come up")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address
        # The accessibility bus is started on demand by the session bus.
        launched = subprocess.run(
            ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
             "org.a11y.Bus.GetAddress"], env=self.env, capture_output=True, text=True, timeout=WAIT)
        if launched.returncode != 0:
            raise Broken(f"the accessibility bus did not come up: {launched.stderr.strip()}")

        self.start("openbox", ["openbox"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        speechd = os.path.join(self.folder, "speechd")
        os.makedirs(speechd)
        with open(os.path.join(speechd, "speechd.conf"), "w", encoding="utf-8") as conf:
            conf.write(SPEECHD_CONF)
        self.start("speech-dispatcher", ["speech-dispatcher", "-s", "-t", "0", "-C", speechd,
                                         "-L", self.folder],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # An Orca that finds no speech-dispatcher stays silent for good, and
        # 0.12 takes seconds before its socket takes connections.
        path = os.path.join(self.env["XDG_RUNTIME_DIR"], "speech-dispatcher", "speechd.sock")
        wait_for("speech-dispatcher's socket", lambda: accepts(path))

        # On a pseudo-terminal Orca writes each line as it goes; into a file
        # it would buffer and lose the tail.
        self.start("Orca", ["script", "-qfec",
                            f"orca --debug-file=/dev/stdout -u {self.folder}/orca-prefs",
                            self.orca_log],
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for("Orca to start (see its log)",
                 lambda: any(self.orca_says(line) for line in ORCA_STARTED))
        if self.orca_says("Speech Dispatcher service failed to connect"):
            raise Broken("Orca could not reach speech-dispatcher")

    def orca_text(self):
        try:
            with open(self.orca_log, encoding="utf-8", errors="replace") as log:
                return log.read().replace("\r\n", "\n")
        except FileNotFoundError:
            return ""

    def orca_says(self, marker):
        return marker in self.orca_text()

    def down(self):
        for name, process in reversed(self.processes):
            if process.poll() is None:
                with contextlib.suppress(ProcessLookupError):
                    os.killpg(process.pid, signal.SIGTERM)
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    with contextlib.suppress(ProcessLookupError):
                        os.killpg(process.pid, signal.SIGKILL)
                    process.wait()


class Speech:
    """Orca's utterances, read from its log, and where each step began."""

    PATTERN = re.compile(r"SPEECH OUTPUT: '(.*?)' ?\{'established'", re.DOTALL)

    def __init__(self, desktop):
        self.desktop = desktop
        self.mark = (0, 0)

    def all(self):
        text = self.desktop.orca_text()
        return text, self.PATTERN.findall(text)

    def begin(self):
        text, said = self.all()
        self.mark = (len(text), len(said))

    def since(self):
        text, said = self.all()
        return text[self.mark[0]:], [s.strip() for s in said[self.mark[1]:]]


def key(desktop, *keys):
    subprocess.run(["xdotool", "key", "--clearmodifiers", *keys], env=desktop.env, check=True)


def type_text(desktop, text):
    subprocess.run(["xdotool", "type", "--delay", "60", text], env=desktop.env, check=True)


class Window:
    """Where the focus is, asked of the window through the accessibility bus."""

    def __init__(self, desktop):
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = desktop.env["DBUS_SESSION_BUS_ADDRESS"]
        import gi  # pylint: disable=import-outside-toplevel
        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi  # pylint: disable=import-outside-toplevel
        self.atspi = Atspi

    def application(self):
        desktop = self.atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app is not None and app.get_name() == "tarvelin":
                app.clear_cache()
                return app
        return None

    def focused(self):
        app = self.application()
        pending = [app] if app is not None else []
        while pending:
            node = pending.pop()
            try:
                if node.get_state_set().contains(self.atspi.StateType.FOCUSED):
                    return node
                pending += [node.get_child_at_index(i) for i in range(node.get_child_count())]
            except Exception:  # pylint: disable=broad-except
                continue  # a node that went away while asked
        return None

    def focus_name(self):
        node = self.focused()
        return (node.get_name(), self.role(node)) if node is not None else None

    def role(self, node):
        number = node.get_role()
        return next((name for name, role in ROLES.items()
                     if number == getattr(self.atspi.Role, role)), node.get_role_name())


def move_focus(desktop, window, name, wanted):
    """Tabs until the control called name, of that role, has the focus."""
    for _ in range(30):
        if window.focus_name() == (name, wanted):
            return
        before = window.focus_name()
        key(desktop, "Tab")
        wait_for("the focus to move on Tab", lambda: window.focus_name() != before, 5)
    raise Broken(f"Tab never reached {wanted} {name!r}")


def click(desktop, window, name, wanted):
    app = window.application()
    pending = [app]
    while pending:
        node = pending.pop()
        if (node.get_name(), window.role(node)) == (name, wanted):
            box = node.get_extents(window.atspi.CoordType.SCREEN)
            x, y = box.x + box.width // 2, box.y + box.height // 2
            subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], env=desktop.env,
                           check=True)
            return
        pending += [node.get_child_at_index(i) for i in range(node.get_child_count())]
    raise Broken(f"no {wanted} {name!r} to click")


def wordings(expected):
    return expected if isinstance(expected, tuple) else (expected,)


def step(speech, title, act, expected, contains=(), never=()):
    """Acts, waits for the expected utterances in order, then for speech to
    settle; fails on anything missing, repeated, unwanted or unspeakable.
    An expected utterance may be a tuple of the wordings Orca releases use."""
    speech.begin()
    act()

    def heard_all():
        _, said = speech.since()
        position = 0
        for utterance in said:
            if position < len(expected) and utterance in wordings(expected[position]):
                position += 1
        wanted = position == len(expected)
        return wanted and all(any(part in u for u in said) for part in contains)

    try:
        wait_for(f"{expected + list(contains)}", heard_all)
    except Broken as error:
        raise Broken(f"{title}: {error}; Orca said {speech.since()[1]}") from error
    count = -1
    while count != len(speech.since()[1]):
        count = len(speech.since()[1])
        time.sleep(QUIET)
    log, said = speech.since()
    print(f"{title}: {said}")
    problems = [f"said {u!r} {said.count(u)} times" for e in expected for u in wordings(e)
                if said.count(u) > 1]
    problems += [f"said {u!r}" for u in said for part in never if part in u]
    problems += [f"Orca reported {e!r}" for e in ORCA_ERRORS if e in log]
    if problems:
        raise Broken(f"{title}: " + "; ".join(problems) + f"; Orca said {said}")


def compare_with_24_shots(desktop, speech, window):
    """From the casualties' menu by Shift+F10, Compare with This; then 24
    shots and the steps again, which say the pinned casualties too."""
    def open_menu():
        key(desktop, "shift+F10")
        time.sleep(QUIET)
        key(desktop, "Up", "Up", "Up")
    step(speech, "Shift+F10 and Up to Compare with This", open_menu, ["Compare with This."])
    step(speech, "Enter on Compare with This", lambda: key(desktop, "Return"),
         ["Casualties 2 pinned for comparison."])
    move_focus(desktop, window, "Shots", "text")
    key(desktop, "ctrl+a")
    type_text(desktop, "24")
    step(speech, "Enter in Shots with 24", lambda: key(desktop, "Return"), ["Hits: 12."])
    move_focus(desktop, window, "To Wound", "text")
    step(speech, "Enter in To Wound again", lambda: key(desktop, "Return"), ["Wounds: 6."])
    move_focus(desktop, window, "Armour Save", "text")
    step(speech, "Enter in Armour Save", lambda: key(desktop, "Return"), ["Saves: 2."])
    step(speech, "Click on Casualties, pinned", lambda: click(desktop, window, "Casualties",
                                                              "push button"),
         ["Casualties: 4, pinned 2."])


def worked_example(desktop, tarvelin):
    env = dict(desktop.env, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    # A sanitizer build keeps its settings.
    env.update({k: v for k, v in os.environ.items() if k.endswith("SAN_OPTIONS")})
    with open(desktop.window_log, "w", encoding="utf-8") as log:
        desktop.processes.append(("Tarvelin", subprocess.Popen(
            [tarvelin], env=env, start_new_session=True, stdout=log, stderr=subprocess.STDOUT)))
    speech = Speech(desktop)
    window = Window(desktop)
    # Orca 43 ends both with a full stop, Orca 48 only the second.
    opened = ["Tarvelin frame", "Aimcraft text"]
    try:
        wait_for(f"Orca to announce {opened} as the window opens",
                 lambda: all(u in [s.rstrip(".") for s in speech.since()[1]] for u in opened))
    except Broken as error:
        raise Broken(f"{error}; Orca said {speech.since()[1]}") from error
    roll = "Needed roll"

    type_text(desktop, "4")
    step(speech, "Enter in Aimcraft", lambda: key(desktop, "Return"), [f"{roll}: 3"])
    move_focus(desktop, window, "Moved", "check box")
    step(speech, "Space on Moved", lambda: key(desktop, "space"),
         [("checked", "Moved check box checked."), f"{roll}: 4"])
    move_focus(desktop, window, "Shots", "text")
    type_text(desktop, "12")
    step(speech, "Enter in Shots", lambda: key(desktop, "Return"), ["Hits: 6."])
    move_focus(desktop, window, "To Wound", "text")
    type_text(desktop, "4")
    step(speech, "Enter in To Wound", lambda: key(desktop, "Return"), ["Wounds: 3."])
    move_focus(desktop, window, "Armour Save", "text")
    type_text(desktop, "5")
    move_focus(desktop, window, "Saves", "push button")
    step(speech, "Space on Saves", lambda: key(desktop, "space"), ["Saves: 1."])
    step(speech, "Click on Casualties", lambda: click(desktop, window, "Casualties", "push button"),
         ["Casualties: 2."])
    step(speech, "Tab into the casualties", lambda: key(desktop, "Tab"), [],
         contains=["none: 11.2 %", "at least 7: 0.1 %"])
    compare_with_24_shots(desktop, speech, window)
    move_focus(desktop, window, "Aimcraft", "text")
    key(desktop, "ctrl+a")
    type_text(desktop, "11")
    step(speech, "Enter in Aimcraft with 11", lambda: key(desktop, "Return"), [],
         contains=["The Aimcraft rating must be from 1 to 10; 11 is outside that range"],
         never=[roll])
    key(desktop, "Return")
    wait_for("the focus back in Aimcraft", lambda: window.focus_name() == ("Aimcraft", "text"))
    move_focus(desktop, window, "Clear", "push button")
    step(speech, "Enter on Clear", lambda: key(desktop, "Return"),
         ["Aimcraft, Shots, To Wound and Armour Save cleared."], never=[roll])
    step(speech, "Ctrl+Z on Clear", lambda: key(desktop, "ctrl+z"),
         ["Undid Clear: Shots, To Wound and Armour Save are back. Moved ticked. "
          f"{roll}: 4."])
    move_focus(desktop, window, "Aimcraft", "text")
    type_text(desktop, "3")
    step(speech, "F5 with a new rating", lambda: key(desktop, "F5"),
         [f"{roll}: 5, Hits: 8., Wounds: 4., Saves: 1.3, Casualties: 2.7, pinned 2."])
    volley_log(desktop, speech, window)


def volley_log(desktop, speech, window):
    """Ctrl+L opens the log on its newest volley; Up reads the ones before,
    each with its name and casualties."""
    step(speech, "Ctrl+L", lambda: key(desktop, "ctrl+l"), [],
         contains=["Volley Log, 3 volleys."])
    wait_for("the focus in the log", lambda: window.focus_name() is not None)
    step(speech, "Up to the second volley", lambda: key(desktop, "Up"), [],
         contains=["Volley 2", "24 shots", "4."])
    step(speech, "Up to the first volley", lambda: key(desktop, "Up"), [],
         contains=["Volley 1", "12 shots", "2."])


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with open(LOCK, "w", encoding="utf-8") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        with tempfile.TemporaryDirectory(prefix="tarvelin-screen-reader-") as folder:
            desktop = Desktop(folder)
            try:
                desktop.up()
                worked_example(desktop, os.path.abspath(sys.argv[1]))
            except Broken as error:
                print(f"FAIL: {error}", file=sys.stderr)
                print(f"Orca's log ends:\n{desktop.orca_text()[-3000:]}", file=sys.stderr)
                return 1
            finally:
                desktop.down()
    print("Orca said what each press did")
    return 0


if __name__ == "__main__":
    sys.exit(main())
