#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
"""Shows the results' odds tooltips of the real window under a real Wayland
compositor and checks, on the compositor's own screen, where each one lies.

sway runs headless, with a virtual pointer and keyboard that this test makes
itself over the Wayland socket; the window runs on Qt's Wayland platform.
With the window at the bottom and at the top of the screen, and again at a
scale of 2, each result is hovered and tabbed into, and each tooltip must
lie whole on the screen, just below or above its field, off the pointer, and
stay while the pointer rests; after Tab, hovering another result must bring
the tooltip there. sway refuses to run as root, so root runs it all as nobody.

Usage: test_wayland.py PATH/TO/tarvelin
"""

import collections
import contextlib
import json
import os
import pwd
import re
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time

WAIT = 30.0  # seconds for anything expected to happen, on a busy machine too
SKIPPED = 77
SWAY_CONFIG = """xwayland disable
output HEADLESS-1 mode {width}x{height} position 0 0
default_border none
default_floating_border none
for_window [app_id=".*"] floating enable
"""
# The virtual keyboard's keymap, compiled by the compositor, and the Linux
# key codes of the keys typed here.
KEYMAP = (b'xkb_keymap { xkb_keycodes { include "evdev+aliases(qwerty)" }; '
          b'xkb_types { include "complete" }; xkb_compat { include "complete" }; '
          b'xkb_symbols { include "pc+us+inet(evdev)" }; };\0')
KEYS = {"Tab": 15, "Return": 28, **{str((i + 1) % 10): i + 2 for i in range(10)}}
LEFT_BUTTON = 0x110
RESULTS = ("Hits", "Wounds", "Saves", "Casualties")


class Broken(Exception):
    """What failed, worded for the person reading the test log."""


def wait_for(what, check, timeout=WAIT):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        result = check()
        if result:
            return result
        time.sleep(0.1)
    raise Broken(f"timed out after {timeout:.0f} s waiting for {what}")


class Rect(collections.namedtuple("Rect", "left top right bottom")):
    """Pixels from left to right and top to bottom, both included."""

    def grown(self, by):
        return Rect(self.left - by, self.top - by, self.right + by, self.bottom + by)

    def meets(self, other):
        return not (self.right < other.left or other.right < self.left or
                    self.bottom < other.top or other.bottom < self.top)

    def holds(self, x, y):
        return self.left <= x <= self.right and self.top <= y <= self.bottom


class Seat:
    """A virtual pointer and keyboard, made and moved through the compositor's
    wlr virtual-pointer and virtual-keyboard protocols on a socket of its own."""

    def __init__(self, path):
        self.socket = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.socket.connect(path)
        self.last_id, self.names, self.unread = 2, {}, b""
        self.send(1, 1, 2)  # the registry
        self.roundtrip()
        seat = self.bind("wl_seat", 1)
        pointers = self.bind("zwlr_virtual_pointer_manager_v1", 1)
        keyboards = self.bind("zwp_virtual_keyboard_manager_v1", 1)
        self.pointer = self.new_id()
        self.send(pointers, 0, seat, self.pointer)
        self.keyboard = self.new_id()
        self.send(keyboards, 0, seat, self.keyboard)
        keymap = os.memfd_create("keymap")
        os.write(keymap, KEYMAP)
        self.send(self.keyboard, 0, 1, len(KEYMAP), fds=[keymap])
        os.close(keymap)
        self.roundtrip()

    def new_id(self):
        self.last_id += 1
        return self.last_id

    def send(self, target, opcode, *args, fds=()):
        body = b""
        for arg in args:
            if isinstance(arg, str):
                text = arg.encode() + b"\0"
                body += struct.pack("<I", len(text)) + text + b"\0" * (-len(text) % 4)
            else:
                body += struct.pack("<I", arg)
        header = struct.pack("<II", target, (8 + len(body)) << 16 | opcode)
        socket.send_fds(self.socket, [header + body], list(fds))

    def roundtrip(self):
        """Reads events until the compositor has handled all sent so far."""
        done = self.new_id()
        self.send(1, 0, done)
        while True:
            while len(self.unread) < 8 or len(self.unread) < struct.unpack_from(
                    "<HH", self.unread, 4)[1]:
                more = self.socket.recv(65536)
                if not more:
                    raise Broken("the compositor closed the seat's connection")
                self.unread += more
            sender, word = struct.unpack_from("<II", self.unread)
            event, self.unread = self.unread[8:word >> 16], self.unread[word >> 16:]
            if sender == 1 and word & 0xFFFF == 0:
                raise Broken(f"the compositor refused the virtual seat: {event[12:]!r}")
            if sender == 2 and word & 0xFFFF == 0:  # a global: name, interface
                name, length = struct.unpack_from("<II", event)
                self.names[event[8:7 + length].decode()] = name
            if sender == done:
                return

    def bind(self, interface, version):
        if interface not in self.names:
            raise Broken(f"the compositor offers no {interface}")
        made = self.new_id()
        self.send(2, 0, self.names[interface], interface, version, made)
        return made

    def move(self, x, y, screen):
        self.send(self.pointer, 1, now(), x, y, screen.right + 1, screen.bottom + 1)
        self.send(self.pointer, 4)  # frame
        self.roundtrip()

    def click(self):
        for state in (1, 0):
            self.send(self.pointer, 2, now(), LEFT_BUTTON, state)
            self.send(self.pointer, 4)
        self.roundtrip()

    def keys(self, *names):
        for name in names:
            for state in (1, 0):
                self.send(self.keyboard, 1, now(), KEYS[name], state)
        self.roundtrip()


def now():
    return int(time.monotonic() * 1000) & 0xFFFFFFFF


class Shot:
    """One picture of the whole screen, as the compositor shows it."""

    def __init__(self, data):
        magic, size, _, self.pixels = data.split(b"\n", 3)
        if magic != b"P6":
            raise Broken("grim wrote no PPM picture")
        self.width, self.height = map(int, size.split())

    def row(self, y):
        return self.pixels[y * self.width * 3:(y + 1) * self.width * 3]

    def colour_spans(self, colour, area):
        """For each row of area, the first and last pixel of that colour."""
        pattern = re.compile(b"(?=%s)" % re.escape(colour))
        for y in range(area.top, area.bottom + 1):
            row = self.row(y)[area.left * 3:(area.right + 1) * 3]
            found = [m.start() // 3 for m in pattern.finditer(row) if m.start() % 3 == 0]
            if found:
                yield y, area.left + found[0], area.left + found[-1]

    def boxes(self, area, scale):
        """The white insides of the input fields in area: runs of white at
        least 40 px wide, the right edges of ten rows or more in line."""
        done, growing = [], {}
        for y in range(area.top, area.bottom + 1):
            row = self.row(y)[area.left * 3:(area.right + 1) * 3]
            grown = {}
            for run in re.finditer(rb"\xff{%d,}" % (120 * scale), row):
                left, right = area.left + -(-run.start() // 3), area.left + run.end() // 3 - 1
                box = growing.pop(right, None) or [left, y, right, y]
                box[0], box[3] = min(box[0], left), y
                grown[right] = box
            done += growing.values()
            growing = grown
        return sorted((Rect(*box) for box in done + list(growing.values())
                       if box[3] - box[1] >= 10 * scale), key=lambda r: (r.top, r.left))


class Desktop:
    """sway, its virtual seat, and the window, all as an unprivileged user."""

    def __init__(self, folder):
        self.folder, self.processes = folder, []
        self.run = os.path.join(folder, "run")
        os.mkdir(self.run, 0o700)
        self.user = []
        if os.geteuid() == 0:
            nobody = pwd.getpwnam("nobody")
            for path in (folder, self.run):
                os.chown(path, nobody.pw_uid, nobody.pw_gid)
            self.user = ["setpriv", f"--reuid={nobody.pw_uid}", f"--regid={nobody.pw_gid}",
                         "--clear-groups", "--"]
        self.env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": folder,
                    "XDG_RUNTIME_DIR": self.run, "LANG": "C.UTF-8",
                    "SWAYSOCK": os.path.join(self.run, "sway.sock")}
        self.seat = self.screen = None

    def start(self, command, log, **env):
        with open(os.path.join(self.folder, log), "w", encoding="utf-8") as out:
            process = subprocess.Popen(self.user + command, env=dict(self.env, **env),
                                       start_new_session=True, stdout=out,
                                       stderr=subprocess.STDOUT)
        self.processes.append(process)
        return process

    def up(self, width, height):
        config = os.path.join(self.folder, "sway.conf")
        with open(config, "w", encoding="utf-8") as out:
            out.write(SWAY_CONFIG.format(width=width, height=height))
        os.chmod(config, 0o644)
        self.start(["sway", "-c", config], "sway.log", WLR_BACKENDS="headless",
                   WLR_LIBINPUT_NO_DEVICES="1", WLR_RENDERER="pixman")
        display = wait_for("sway's Wayland socket", lambda: next(
            (n for n in os.listdir(self.run) if re.fullmatch(r"wayland-\d+", n)), None))
        self.env["WAYLAND_DISPLAY"] = display
        wait_for("sway to answer", lambda: self.swaymsg("-t", "get_version", check=False))
        self.seat = Seat(os.path.join(self.run, display))
        self.screen = Rect(0, 0, width - 1, height - 1)

    def resize(self, width, height):
        self.swaymsg(f"output HEADLESS-1 mode {width}x{height}")
        self.screen = Rect(0, 0, width - 1, height - 1)

    def swaymsg(self, *args, check=True):
        done = subprocess.run(self.user + ["swaymsg", *args], env=self.env, capture_output=True,
                              text=True, timeout=WAIT, check=False)
        if check and done.returncode != 0:
            raise Broken(f"swaymsg {' '.join(args)}: {done.stdout}{done.stderr}")
        return done.returncode == 0 and (done.stdout or "ok")

    def shot(self):
        done = subprocess.run(self.user + ["grim", "-t", "ppm", "-"], env=self.env,
                              capture_output=True, timeout=WAIT, check=False)
        if done.returncode != 0:
            raise Broken(f"grim failed: {done.stderr.decode(errors='replace')}")
        return Shot(done.stdout)

    def window(self):
        """Where sway shows the window, if it does."""
        pending = [json.loads(self.swaymsg("-t", "get_tree"))]
        while pending:
            node = pending.pop()
            if node.get("app_id") == "org.tarvelin.Tarvelin":
                r = node["rect"]
                return Rect(r["x"], r["y"], r["x"] + r["width"] - 1, r["y"] + r["height"] - 1)
            pending += node.get("nodes", []) + node.get("floating_nodes", [])
        return None

    def down(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                with contextlib.suppress(ProcessLookupError):
                    os.killpg(process.pid, signal.SIGTERM)
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    with contextlib.suppress(ProcessLookupError):
                        os.killpg(process.pid, signal.SIGKILL)
                    process.wait()


class Window:
    """The program's window on that desktop, its fields found on the screen."""

    def __init__(self, desktop, tarvelin, scale):
        self.desktop, self.seat, self.scale = desktop, desktop.seat, scale
        env = {k: v for k, v in os.environ.items() if k.endswith("SAN_OPTIONS")}
        self.process = desktop.start([tarvelin], f"tarvelin-{scale}.log",
                                     QT_QPA_PLATFORM="wayland", QT_SCALE_FACTOR=str(scale), **env)
        self.rect = wait_for("the window to show", desktop.window)
        self.colour = self.base = None
        self.inputs = self.roll = self.results = None

    def close(self):
        self.process.terminate()
        self.process.wait(WAIT)
        wait_for("the window to close", lambda: self.desktop.window() is None)

    def place(self, where):
        """Moves the window to the top or the bottom of the screen, closes
        any tooltip and finds the fields."""
        screen, rect = self.desktop.screen, self.rect
        x = (screen.right - (rect.right - rect.left)) // 2
        y = 0 if where == "top" else screen.bottom - (rect.bottom - rect.top)
        self.desktop.swaymsg(f"[app_id=org.tarvelin.Tarvelin] move absolute position {x} {y}")
        self.rect = wait_for("the window to move", lambda: (
            lambda r: r if r and (r.left, r.top) == (x, y) else None)(self.desktop.window()))
        self.seat.move(self.rect.left + 2, self.rect.top + 2, screen)
        self.seat.click()  # on the form: a click closes a tooltip
        self.away()
        time.sleep(0.5)
        self.base = self.desktop.shot()
        boxes = self.base.boxes(self.rect, self.scale)
        middle = (self.rect.left + self.rect.right) // 2
        self.inputs = [b for b in boxes if b.right < middle]
        right = [b for b in boxes if b.left > middle]
        if len(self.inputs) != 4 or len(right) != 5:
            raise Broken(f"found {len(self.inputs)} inputs and {len(right)} fields on the right "
                         f"of the window at {self.rect}, not 4 and 5")
        self.roll, results = right[0], right[1:]
        self.results = dict(zip(RESULTS, results))

    def away(self):
        """Moves the pointer off the window, which closes a hovered tooltip."""
        self.seat.move(1, 1, self.desktop.screen)
        if self.colour is not None:
            wait_for("the tooltip to close", lambda: self.tip(self.desktop.shot()) is None)

    def click(self, x, y):
        self.seat.move(x, y, self.desktop.screen)
        self.seat.click()

    def between(self, upper, lower):
        """The middle of the button between two fields of the right column."""
        return (lower.left + lower.right) // 2, (upper.bottom + lower.top) // 2

    def worked_example(self):
        for box, typed in zip(self.inputs, ("4", "12", "4", "5")):
            self.click(box.left + 4, (box.top + box.bottom) // 2)
            self.seat.keys(*typed, "Return")
        self.click(*self.between(self.results["Saves"], self.results["Casualties"]))
        self.away()

    def tip(self, shot):
        """The tooltip on the screen with its frame, if there is one; its
        colour is learnt from what the first one changed."""
        if self.colour is None:
            changed = collections.Counter()
            for y in range(shot.height):
                before, after = self.base.row(y), shot.row(y)
                if before != after:
                    changed.update(after[x:x + 3] for x in range(0, len(after), 3)
                                   if before[x:x + 3] != after[x:x + 3])
            if sum(changed.values()) < 5000 * self.scale ** 2:
                return None
            self.colour = changed.most_common(1)[0][0]
        spans = list(shot.colour_spans(self.colour, self.desktop.screen))
        if not spans:
            return None
        return Rect(min(s[1] for s in spans), spans[0][0], max(s[2] for s in spans),
                    spans[-1][0]).grown(self.scale)

    def settled_tip(self, what, unlike=None):
        """Waits for a tooltip, other than one at unlike, to hold still."""
        seen = []

        def still():
            seen.append(self.tip(self.desktop.shot()))
            return seen[-1] if len(seen) > 1 and seen[-1] == seen[-2] != unlike else None
        return wait_for(what, still)

    def check(self, what, field, tip, pointer=None):
        screen, scale = self.desktop.screen, self.scale
        near = field.grown(2 * scale)  # the field's frame
        below = tip.top > near.bottom
        gap = tip.top - near.bottom - 1 if below else near.top - tip.bottom - 1
        left = pointer[0] if pointer else near.left
        problems = []
        if not (screen.left <= tip.left and tip.right <= screen.right and
                screen.top <= tip.top and tip.bottom <= screen.bottom):
            problems.append("is not whole on the screen")
        if tip.meets(near):
            problems.append("lies over its field")
        elif not 0 <= gap <= (24 if below and pointer else 4) * scale:
            problems.append(f"lies {gap} px from its field")
        if pointer and Rect(tip.left, tip.top - 16 * scale, tip.right, tip.bottom).holds(*pointer):
            problems.append("lies under the pointer")
        if abs(tip.left - left) > 2 * scale and tip.right < screen.right:
            problems.append(f"starts at x {tip.left}, not {left}")
        if not below and near.bottom + 24 * scale + tip.bottom - tip.top < screen.bottom:
            problems.append("lies above though there is room below")
        print(f"{what}: tooltip {tip}, field {field}" + (f", pointer {pointer}" if pointer else ""))
        if problems:
            raise Broken(f"{what}: the tooltip at {tip} " + ", ".join(problems) +
                         f" (field {field}, screen {screen})")

    def hover(self, where, name, nudge=False, unlike=None):
        field = self.results[name]
        pointer = (field.left + (field.right - field.left) // 4, (field.top + field.bottom) // 2)
        self.seat.move(pointer[0] - 1, pointer[1] - 1, self.desktop.screen)
        time.sleep(0.1)
        self.seat.move(*pointer, self.desktop.screen)
        what = f"{where}, hovering {name}"
        tip = self.settled_tip(f"{what}: the tooltip", unlike)
        self.check(what, field, tip, pointer)
        time.sleep(1)
        if self.tip(self.desktop.shot()) != tip:
            raise Broken(f"{what}: the tooltip did not stay while the pointer rested")
        if nudge:
            pointer = (pointer[0] + 1, pointer[1])
            self.seat.move(*pointer, self.desktop.screen)
            time.sleep(1.2)
            self.check(f"{what}, one pixel on", field, self.settled_tip(f"{what}: the tooltip"),
                       pointer)
        return tip

    def tab_into(self, where, name):
        """Tab from a field before the result, clicked, the pointer away; a
        button on the way is not pressed, which would put results out of date."""
        start, tabs = {"Hits": (self.roll, 1), "Wounds": (self.inputs[2], 2),
                       "Saves": (self.inputs[3], 1), "Casualties": (self.results["Saves"], 2)}[name]
        self.click(start.left + 4, start.top + 4)
        self.away()
        self.seat.keys(*["Tab"] * tabs)
        tip = self.settled_tip(f"{where}, Tab into {name}: the tooltip")
        self.check(f"{where}, Tab into {name}", self.results[name], tip)
        return tip


def run(desktop, tarvelin):
    window = Window(desktop, tarvelin, 1)
    window.place("bottom")
    window.worked_example()
    for where in ("bottom", "top"):
        window.place(where)
        for name in RESULTS:
            window.hover(where, name, nudge=name == "Hits")
            window.away()
        for name in RESULTS:
            shown = window.tab_into(where, name)
    # The casualties' tooltip below them leaves Hits free to hover.
    window.hover("top, after Tab", "Hits", unlike=shown)
    window.close()

    desktop.resize(1920, 1200)
    window = Window(desktop, tarvelin, 2)
    window.place("bottom")
    window.worked_example()
    window.place("bottom")
    for name in RESULTS:
        window.hover("bottom at a scale of 2", name)
        window.away()


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    missing = [tool for tool in ("sway", "swaymsg", "grim") if shutil.which(tool) is None]
    if missing:
        print(f"SKIP: the Wayland test needs {', '.join(missing)} (on Debian: apt-get install "
              "sway grim qt6-wayland)")
        return SKIPPED
    with tempfile.TemporaryDirectory(prefix="tarvelin-wayland-") as folder:
        # Where nobody may read the program, it runs a copy.
        tarvelin = shutil.copy(os.path.abspath(sys.argv[1]), os.path.join(folder, "tarvelin"))
        desktop = Desktop(folder)
        try:
            desktop.up(1280, 800)
            run(desktop, tarvelin)
        except Broken as error:
            print(f"FAIL: {error}", file=sys.stderr)
            for log in sorted(n for n in os.listdir(folder) if n.endswith(".log")):
                with open(os.path.join(folder, log), encoding="utf-8", errors="replace") as text:
                    print(f"{log} ends:\n{text.read()[-2000:]}", file=sys.stderr)
            return 1
        finally:
            desktop.down()
    print("Each tooltip lay whole beside its field, off the pointer, and stayed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
