#!/usr/bin/python3
"""The real program, driven the way a screen reader meets it.

Starts a virtual display, a private D-Bus session bus and the accessibility
bus, launches varneldh and works it only through AT-SPI: buttons by their
actions, fields by their accessible names, texts through the Text and
EditableText interfaces. Every process it starts is ended when it stops,
whatever happens.

    test_e2e.py PATH/TO/varneldh [--timeout SECONDS]

Exit status: 0 passed, 1 failed, 77 a tool it needs is missing (a failure
instead when CI is set, where scripts/setup.sh has installed them).
"""

import argparse
import importlib.util
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIPPED = 77
T0 = time.monotonic()

MAIN_TITLE = "Varnel Dehumidification Unit Selection Software"
ZONE_TITLE = "Detailed Calculation"
POOL_TITLE = "Swimming Pool Evaporation Rate Calculation"
BOX_TITLE = "Varnel DH"
HELP_TITLE = "Varnel DH Help"
PICKER_TITLE = "Design Ambient Weather Conditions"
PASSWORD_TITLE = "Password"
REPORT_TITLE = "Calculation Report - Detailed Calculation"
CHART_TITLE = "Psychrometric Chart - Detailed Calculation"
CHECK_TITLE = "Condensation Check"
METHODS_TITLE = "Evaporation Methods"
STANDALONE_POOL_TITLE = "Swimming Pool Evaporation Rate Only"
PROJECT_TITLE = "Project: "  # then the file's or the project's name, "*" when changed
MILD_WARNING = ("WARNING - This is a mild outdoor design temperature for a condensation check. "
                "Are you sure this value is correct? Answers will be calculated using this value.")
OPEN_WEATHER_TITLE = "Open Weather File"
YEAR_TITLE = "A Year, Hour by Hour - Detailed Calculation"
WEATHER_FILE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "weather",
                            "chicago.epw")
STATION = "Chicago Ohare Intl Ap, IL, USA (WMO 725300, 41.98\u00b0 N 87.92\u00b0 W, 201 m, TMY3)"
TOPIC_1 = "1. Natural infiltration rate"
VOLUME_REFUSED = "SPACE VOLUME NOT VALID - Please enter a value greater than 20"
ZONE_RESULTS = {
    "Building Zone Moisture Gain": [
        "Occupant Gains (litres/day)",
        "Mechanical Ventilation Gain (litres/day)",
        "Infiltration Gain (litres/day)",
        "Building Process Gains (litres/day)",
        "Moisture gain: Swimming Pool Gains (litres/day)",
        "Total Moisture Gain (litres/day)",
    ],
    "Number of Units Required": ["No. HX 100", "No. HX 160", "No. HX 200"],
}


class Failure(Exception):
    pass


def log(text):
    print(f"[{time.monotonic() - T0:6.2f} s] {text}", flush=True)


# --- processes ---------------------------------------------------------------


class Processes:
    """Everything started here, each in a process group of its own, so that
    whatever it starts in turn (the accessibility bus's own daemons) goes too."""

    def __init__(self):
        self.started = []

    def start(self, name, argv, **kwargs):
        try:
            process = subprocess.Popen(argv, start_new_session=True, **kwargs)
        except OSError as error:
            raise Failure(f"cannot start {name} ({argv[0]}): {error}") from error
        self.started.append((name, process))
        return process

    def stop_all(self):
        for name, process in reversed(self.started):
            stop_group(process)
        self.started.clear()


def stop_group(process, grace=3.0):
    for sig in (signal.SIGTERM, signal.SIGKILL):
        try:
            os.killpg(process.pid, sig)
        except (ProcessLookupError, PermissionError):
            pass
        try:
            process.wait(timeout=grace)
            if sig == signal.SIGTERM:
                # The leader is gone; take any of its group left behind with it.
                try:
                    os.killpg(process.pid, signal.SIGKILL)
                except (ProcessLookupError, PermissionError):
                    pass
            return
        except subprocess.TimeoutExpired:
            continue


def read_line(stream_fd, what, timeout):
    """One line from a pipe, or a Failure naming what did not arrive."""
    data = b""
    end = time.monotonic() + timeout
    while not data.endswith(b"\n"):
        left = end - time.monotonic()
        if left <= 0 or not select.select([stream_fd], [], [], left)[0]:
            raise Failure(f"{what} did not arrive within {timeout:.0f} s")
        chunk = os.read(stream_fd, 256)
        if not chunk:
            raise Failure(f"{what}: the process closed its output before saying it")
        data += chunk
    return data.decode().strip()


def find_tool(names):
    for name in names:
        path = shutil.which(name) if "/" not in name else (name if os.access(name, os.X_OK) else None)
        if path:
            return path
    return None


def start_display(procs, workdir):
    xvfb = find_tool(["Xvfb"])
    read_fd, write_fd = os.pipe()
    with open(os.path.join(workdir, "xvfb.log"), "wb") as xlog:
        procs.start("Xvfb", [xvfb, "-displayfd", str(write_fd), "-screen", "0", "1280x1024x24",
                             "-nolisten", "tcp", "-noreset"],
                    pass_fds=(write_fd,), stdin=subprocess.DEVNULL, stdout=xlog, stderr=xlog)
    os.close(write_fd)
    try:
        number = read_line(read_fd, "the virtual display's number", 15)
    finally:
        os.close(read_fd)
    return f":{number}"


def start_session_bus(procs, workdir):
    with open(os.path.join(workdir, "dbus.log"), "wb") as dlog:
        bus = procs.start("dbus-daemon", [find_tool(["dbus-daemon"]), "--session", "--nofork",
                                          "--print-address=1"],
                          stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=dlog)
    return read_line(bus.stdout.fileno(), "the session bus address", 15)


def start_accessibility_bus(procs, workdir, launcher):
    from gi.repository import Gio, GLib

    with open(os.path.join(workdir, "at-spi.log"), "wb") as alog:
        procs.start("at-spi-bus-launcher", [launcher, "--launch-immediately"],
                    stdin=subprocess.DEVNULL, stdout=alog, stderr=alog)
    session = Gio.bus_get_sync(Gio.BusType.SESSION, None)

    def address():
        # No auto-start: a second launcher started by the bus would be none of ours.
        reply = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress",
                                  None, GLib.VariantType("(s)"),
                                  Gio.DBusCallFlags.NO_AUTO_START, 2000, None)
        return reply.unpack()[0]

    return wait_for("the accessibility bus", address, timeout=15, errors=(GLib.Error,))


# --- the accessibility tree --------------------------------------------------


def wait_for(what, probe, timeout=10.0, errors=()):
    """Calls probe until it gives something true; a Failure after timeout."""
    import gi.repository.GLib as GLib

    end = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            found = probe()
            if found:
                return found
        except (GLib.Error, *errors) as error:
            last_error = error
        if time.monotonic() > end:
            because = f" (last error: {last_error})" if last_error else ""
            raise Failure(f"timed out after {timeout:.0f} s waiting for {what}{because}")
        time.sleep(0.1)


class Tree:
    def __init__(self, pyatspi):
        self.a = pyatspi

    def children(self, node):
        try:
            count = node.childCount
        except Exception:
            return []
        found = []
        for i in range(count):
            try:
                child = node.getChildAtIndex(i)
            except Exception:
                continue
            if child is not None:
                found.append(child)
        return found

    def walk(self, node):
        stack = [node]
        while stack:
            current = stack.pop()
            yield current
            stack.extend(reversed(self.children(current)))

    def has(self, node, state):
        try:
            return node.getState().contains(state)
        except Exception:
            return False

    def showing(self, node):
        return self.has(node, self.a.STATE_SHOWING)

    def role(self, node):
        try:
            return node.getRole()
        except Exception:
            return None

    def name(self, node):
        try:
            return node.name
        except Exception:
            return None

    def describe(self, node):
        try:
            return f'{node.getRoleName()} "{node.name}"'
        except Exception:
            return "(an object that went away)"

    def find(self, root, name, roles=None, showing=True):
        for node in self.walk(root):
            if ((roles is None or self.role(node) in roles) and self.name(node) == name
                    and (not showing or self.showing(node))):
                return node
        return None

    def application(self, name="varneldh"):
        desktop = self.a.Registry.getDesktop(0)
        for app in self.children(desktop):
            if self.name(app) == name:
                return app
        return None

    def window(self, app, title, roles):
        for node in self.children(app):
            if ((roles is None or self.role(node) in roles) and self.name(node) == title
                    and self.showing(node)):
                return node
        return None

    def texts(self, root):
        """The texts of every showing node that has one."""
        found = []
        for node in self.walk(root):
            if not self.showing(node):
                continue
            try:
                found.append(node.queryText().getText(0, -1))
            except Exception:
                pass
        return found

    def text(self, node):
        try:
            return node.queryText().getText(0, -1)
        except NotImplementedError:
            raise Failure(f"{self.describe(node)} offers no Text interface")

    def dump(self, node, depth=0, limit=7, out=None):
        out = out if out is not None else []
        if depth > limit or (depth > 0 and not self.showing(node)):
            return out
        extra = ""
        try:
            extra = f" = {node.queryText().getText(0, -1)!r}"
        except Exception:
            pass
        out.append("  " * depth + self.describe(node) + extra)
        for child in self.children(node):
            self.dump(child, depth + 1, limit, out)
        return out


# --- the user's steps ----------------------------------------------------------


class User:
    def __init__(self, tree, program):
        self.t = tree
        self.a = tree.a
        self.program = program
        self.app = None

    def alive(self):
        if self.program.poll() is not None:
            raise Failure(f"varneldh ended (exit status {self.program.returncode}) "
                          "while the test still needed it")

    def window(self, title, timeout=10.0, roles=None):
        roles = roles or (self.a.ROLE_FRAME,)

        def probe():
            self.alive()
            self.app = self.app or self.t.application()
            return self.app and self.t.window(self.app, title, roles)

        return wait_for(f'the window "{title}"', probe, timeout)

    def control(self, root, name, roles, what):
        found = wait_for(f'{what} "{name}" in {self.t.describe(root)}',
                         lambda: self.t.find(root, name, roles), timeout=5)
        return found

    def field(self, root, name):
        return self.control(root, name, (self.a.ROLE_TEXT, self.a.ROLE_ENTRY), "a field")

    def button(self, root, name):
        return self.control(root, name, (self.a.ROLE_PUSH_BUTTON,), "a button")

    def group(self, root, name):
        return self.control(root, name,
                            (self.a.ROLE_PANEL, self.a.ROLE_GROUPING, self.a.ROLE_FILLER), "a group")

    def act(self, node, action):
        try:
            actions = node.queryAction()
        except NotImplementedError:
            raise Failure(f"{self.t.describe(node)} offers no Action interface")
        names = [actions.getName(i) for i in range(actions.nActions)]
        if action not in names:
            raise Failure(f'{self.t.describe(node)} offers no "{action}" action (it offers {names})')
        if not actions.doAction(names.index(action)):
            raise Failure(f'{self.t.describe(node)} refused its "{action}" action')

    def press(self, node):
        if not self.t.has(node, self.a.STATE_ENABLED):
            raise Failure(f"{self.t.describe(node)} is disabled")
        self.act(node, "Press")

    def type_into(self, root, name, text):
        node = self.field(root, name)
        try:
            editable = node.queryEditableText()
        except NotImplementedError:
            raise Failure(f'the field "{name}" offers no EditableText interface')
        if not editable.setTextContents(text):
            raise Failure(f'the field "{name}" refused the text {text!r}')
        self.expect_text(root, name, text, timeout=3)

    # X key codes of the virtual display's keyboard, for keys held down.
    KEYCODES = {"Control": 37, "Alt": 64}
    KEYSYMS = {"Return": 0xff0d, "Tab": 0xff09, "Escape": 0xff1b,
               "a": 0x61, "f": 0x66, "h": 0x68, "o": 0x6f}

    def key(self, name, held=None):
        """A key pressed on the keyboard as the user does, with a modifier held."""
        registry = self.a.Registry
        if held:
            registry.generateKeyboardEvent(self.KEYCODES[held], None, self.a.KEY_PRESS)
        registry.generateKeyboardEvent(self.KEYSYMS[name], None, self.a.KEY_SYM)
        if held:
            registry.generateKeyboardEvent(self.KEYCODES[held], None, self.a.KEY_RELEASE)

    def focus(self, node, window):
        """The keyboard to the node, in the window that has it."""
        wait_for(f"{self.t.describe(window)} to be the active window",
                 lambda: self.t.has(window, self.a.STATE_ACTIVE), timeout=5)
        try:
            if not node.queryComponent().grabFocus():
                raise Failure(f"{self.t.describe(node)} did not take the focus")
        except NotImplementedError:
            raise Failure(f"{self.t.describe(node)} offers no Component interface")
        wait_for(f"{self.t.describe(node)} to have the focus",
                 lambda: self.t.has(node, self.a.STATE_FOCUSED), timeout=5)

    def focused(self, root):
        for node in self.t.walk(root):
            if self.t.has(node, self.a.STATE_FOCUSED) and self.t.showing(node):
                return node
        return None

    def menu_item(self, window, name):
        return wait_for(f'the menu item "{name}" on {self.t.describe(window)}',
                        lambda: self.t.find(window, name, (self.a.ROLE_MENU_ITEM,),
                                            showing=False))

    def key_binding(self, node):
        try:
            actions = node.queryAction()
        except NotImplementedError:
            raise Failure(f"{self.t.describe(node)} offers no Action interface")
        return [actions.getKeyBinding(i) for i in range(actions.nActions)]

    def answer_box(self, message):
        box = self.window(BOX_TITLE, roles=(self.a.ROLE_ALERT, self.a.ROLE_DIALOG))
        wait_for(f'the message "{message}" in the box',
                 lambda: self.t.find(box, message, (self.a.ROLE_LABEL, self.a.ROLE_STATIC)),
                 timeout=5)
        return box

    def expect_text(self, root, name, wanted, timeout=5.0):
        node = self.field(root, name)
        seen = []

        def probe():
            seen.append(self.t.text(node))
            return seen[-1] == wanted

        try:
            wait_for(f'"{name}" to read {wanted!r}', probe, timeout)
        except Failure:
            raise Failure(f'the field "{name}" reads {seen[-1] if seen else None!r}, '
                          f"expected {wanted!r}") from None


def run_steps(user):
    a = user.a
    t = user.t
    step_started = time.monotonic()

    def step(text):
        nonlocal step_started
        now = time.monotonic()
        log(f"ok ({now - step_started:.2f} s): {text}")
        step_started = now

    main = user.window(MAIN_TITLE, timeout=20)
    step("the mode-selection screen is on the desktop, past the splash")

    user.press(user.button(main, "General Building Zone Calculation"))
    zone = user.window(ZONE_TITLE)
    inputs = user.group(zone, "Calculation Inputs")
    gains = user.group(zone, "Building Zone Moisture Gain")
    units = user.group(zone, "Number of Units Required")
    step("General Building Zone Calculation opens Detailed Calculation")

    for name in ("Occupancy (No. People)", "Occupant Activity"):
        user.control(inputs, name, (a.ROLE_COMBO_BOX,), "an editable list")
    names = [t.name(n) for n in t.walk(zone)
             if t.role(n) in (a.ROLE_TEXT, a.ROLE_ENTRY) and t.showing(n)]
    twice = sorted({name for name in names if names.count(name) > 1})
    if twice:
        raise Failure(f"fields of {ZONE_TITLE} that share a name: {twice}")
    user.field(inputs, "Swimming Pool Gains (litres/day)")
    user.field(gains, "Moisture gain: Swimming Pool Gains (litres/day)")
    step("the editable lists are named by their captions, and no two fields share a name")

    user.press(user.button(inputs, "Design Conditions"))
    picker = user.window(PICKER_TITLE, roles=(a.ROLE_DIALOG,))
    user.press(user.button(picker, "Cancel"))
    wait_for("the picker to close",
             lambda: not t.window(user.app, PICKER_TITLE, roles=None))
    step("Design Conditions opens the picker as a dialog with its caption")

    password_item = wait_for('Additional Info > Psychrometrics on "Detailed Calculation"',
                             lambda: t.find(zone, "Psychrometrics", (a.ROLE_MENU_ITEM,),
                                            showing=False))
    user.act(password_item, "Press")
    lock = user.window(PASSWORD_TITLE, roles=(a.ROLE_DIALOG,))
    typed = user.control(lock, "Password:", (a.ROLE_PASSWORD_TEXT,), "a password field")
    if not typed.queryEditableText().setTextContents("wrong"):
        raise Failure("the password field refused a text")
    user.press(user.button(lock, "OK"))
    box = user.window(BOX_TITLE, roles=(a.ROLE_ALERT, a.ROLE_DIALOG))
    wait_for('the message "Incorrect Password" in the box',
             lambda: t.find(box, "Incorrect Password", (a.ROLE_LABEL, a.ROLE_STATIC)), timeout=5)
    wait_for("its exclamation announced as a warning",
             lambda: t.find(box, "Warning", (a.ROLE_IMAGE, a.ROLE_ICON)), timeout=5)
    user.press(user.button(box, "OK"))
    wait_for("the message box to close", lambda: not t.window(user.app, BOX_TITLE,
                                                              (a.ROLE_ALERT, a.ROLE_DIALOG)))
    user.press(user.button(lock, "Cancel"))
    wait_for("the password screen to close",
             lambda: not t.window(user.app, PASSWORD_TITLE, roles=None))
    step("Psychrometrics opens the password dialog; a wrong one gives a warning")

    user.press(user.button(inputs, "Guide: Natural Infiltration Rate"))
    help_window = wait_for(f'the help window "{HELP_TITLE}"',
                           lambda: t.window(user.app, HELP_TITLE, roles=(a.ROLE_FRAME,)))
    pages = []

    def topic_shown():
        pages[:] = t.texts(help_window)
        return any(TOPIC_1 in page for page in pages)

    try:
        wait_for(f'the help page "{TOPIC_1}"', topic_shown)
    except Failure:
        raise Failure(f'the help window does not show "{TOPIC_1}"; it shows: '
                      + " | ".join(page[:200] for page in pages if page)) from None
    step("the infiltration Guide... opens the help at its topic")

    for name, text in [("Occupancy (No. People)", "10"),
                       ("Mechanical Ventilation Rate (a.c.h.)", "2"),
                       ("Building Processes Gains (litres/hour)", "0.5"),
                       ("Swimming Pool Gains (litres/day)", "12.5")]:
        user.type_into(inputs, name, text)
    user.press(user.button(zone, "Calculate"))
    user.expect_text(gains, "Total Moisture Gain (litres/day)", "184.97")
    user.expect_text(units, "No. HX 100", "1.8")
    user.expect_text(units, "No. HX 160", "1.1")
    user.expect_text(units, "No. HX 200", "0.9")
    step("Calculate gives 184.97 litres/day and 1.8 / 1.1 / 0.9 units")

    report_item = wait_for('Additional Info > Calculation Report... on "Detailed Calculation"',
                           lambda: t.find(zone, "Calculation Report...", (a.ROLE_MENU_ITEM,),
                                          showing=False))
    user.act(report_item, "Press")
    report = user.window(REPORT_TITLE)
    user.button(report, "Save as PDF...")
    user.button(report, "Print...")
    user.press(user.button(report, "Close"))
    wait_for("the report preview to close",
             lambda: not t.window(user.app, REPORT_TITLE, roles=None))
    step("Calculation Report... opens the preview with Save as PDF... and Print...")

    chart_item = wait_for('Additional Info > Psychrometric Chart... on "Detailed Calculation"',
                          lambda: t.find(zone, "Psychrometric Chart...", (a.ROLE_MENU_ITEM,),
                                         showing=False))
    user.act(chart_item, "Press")
    chart = user.window(CHART_TITLE)

    def plotted():
        node = t.find(chart, "Psychrometric chart")
        try:
            return node is not None and node.description.startswith(
                "Zone, Dry bulb 28 °C, relative humidity 60 %")
        except Exception:
            return False

    wait_for("the chart to describe the zone it plots", plotted, timeout=5)
    user.press(user.button(chart, "Close"))
    wait_for("the chart to close", lambda: not t.window(user.app, CHART_TITLE, roles=None))
    step("Psychrometric Chart... opens the chart of the zone's calculation")

    bindings = {name: user.key_binding(user.menu_item(zone, name))
                for name in ("Open Job...", "Save Job As...")}
    if not any("O" in b.upper() and ("CTRL" in b.upper() or "CONTROL" in b.upper())
               for b in bindings["Open Job..."]):
        raise Failure(f"Open Job... offers the keys {bindings['Open Job...']}, not Ctrl+O")
    if not any("S" in b.upper() and ("CTRL" in b.upper() or "CONTROL" in b.upper())
               for b in bindings["Save Job As..."]):
        raise Failure(f"Save Job As... offers the keys {bindings['Save Job As...']}, not Ctrl+S")
    # Brought forward as the user does, from the mode selection: the keys go to
    # the active window.
    user.press(user.button(main, "General Building Zone Calculation"))
    volume = user.field(inputs, "Zone Volume (m3)")
    user.focus(volume, zone)
    user.key("a", held="Alt")
    report_entry = user.menu_item(zone, "Calculation Report...")
    wait_for("Alt+A to open Additional Info", lambda: t.showing(report_entry), timeout=5)
    user.key("Escape")
    wait_for("Escape to close the menu", lambda: not t.showing(report_entry), timeout=5)
    user.expect_text(inputs, "Zone Volume (m3)", "1000")
    step("the job items offer Ctrl+O and Ctrl+S; Alt+A opens Additional Info, typing nothing")

    user.act(user.menu_item(zone, "Condensation Check..."), "Press")
    check = user.window(CHECK_TITLE, roles=(a.ROLE_DIALOG,))
    roof = user.field(check, "Roof U-value (W/m2K)")
    user.focus(roof, check)
    user.key("Tab")
    wait_for("Tab to go from the last entry to Check",
             lambda: t.name(user.focused(check)) == "Check", timeout=5)
    user.key("Tab")
    wait_for("Tab to go from Check to Close, past the figures",
             lambda: t.name(user.focused(check)) == "Close", timeout=5)
    user.focus(roof, check)
    user.key("Return")
    user.expect_text(check, "Glazing Inside surface (°C)", "21.1")
    user.expect_text(check, "Roof Verdict", "margin 7.6 K")
    user.key("Escape")
    wait_for("Escape to close the check", lambda: not t.window(user.app, CHECK_TITLE, None))
    step("Condensation Check...: Tab skips the figures, Enter checks, Escape closes")

    user.act(user.menu_item(zone, "Condensation Check..."), "Press")
    check = user.window(CHECK_TITLE, roles=(a.ROLE_DIALOG,))
    user.type_into(check, "Outdoor Design Temperature (°C)", "20")
    user.press(user.button(check, "Check"))
    box = user.answer_box(MILD_WARNING)
    user.act(user.button(check, "Close"), "Press")
    time.sleep(0.5)
    user.alive()
    user.press(user.button(box, "OK"))
    wait_for("the check to close once its message is answered",
             lambda: not t.window(user.app, CHECK_TITLE, None))
    user.alive()
    user.window(ZONE_TITLE)
    step("Close pressed under the check's own warning closes it after OK, and the program lives")
    user.press(user.button(inputs, "Design Conditions"))
    picker = user.window(PICKER_TITLE, roles=(a.ROLE_DIALOG,))
    weather_tab = user.control(picker, "Weather File", (a.ROLE_PAGE_TAB,), "a tab")
    user.act(weather_tab, "Press")
    user.press(user.button(picker, "Open Weather File..."))
    chooser = user.window(OPEN_WEATHER_TITLE, roles=(a.ROLE_DIALOG,))
    user.type_into(chooser, "File name:", WEATHER_FILE)
    user.press(user.button(chooser, "Open"))
    wait_for("the picker to show the weather file's station",
             lambda: t.find(picker, STATION, (a.ROLE_LABEL, a.ROLE_STATIC)), timeout=10)
    user.press(user.button(picker, "Cancel"))
    wait_for("the picker to close",
             lambda: not t.window(user.app, PICKER_TITLE, roles=None))
    step("the picker's Weather File tab opens a weather file and shows its station")

    year_item = wait_for('Additional Info > A Year, Hour by Hour... on "Detailed Calculation"',
                         lambda: t.find(zone, "A Year, Hour by Hour...", (a.ROLE_MENU_ITEM,),
                                        showing=False))
    user.act(year_item, "Press")
    year = user.window(YEAR_TITLE)
    user.button(year, "Export Hours as CSV...")
    user.press(user.button(year, "Close"))
    wait_for("the year window to close", lambda: not t.window(user.app, YEAR_TITLE, roles=None))
    step("A Year, Hour by Hour... opens the year of the weather file opened")

    user.type_into(inputs, "Zone Volume (m3)", "abc")
    user.press(user.button(zone, "Calculate"))
    box = user.window(BOX_TITLE, roles=(a.ROLE_ALERT, a.ROLE_DIALOG))
    wait_for(f'the message "{VOLUME_REFUSED}" in the box',
             lambda: t.find(box, VOLUME_REFUSED, (a.ROLE_LABEL, a.ROLE_STATIC)), timeout=5)
    buttons = [t.name(n) for n in t.walk(box)
               if t.role(n) == a.ROLE_PUSH_BUTTON and t.showing(n)]
    if buttons != ["OK"]:
        raise Failure(f"the message box offers the buttons {buttons}, expected only OK")
    user.press(user.button(box, "OK"))
    wait_for("the message box to close", lambda: not t.window(user.app, BOX_TITLE,
                                                              (a.ROLE_ALERT, a.ROLE_DIALOG)))
    user.expect_text(inputs, "Zone Volume (m3)", "")
    step("a volume of abc is refused with its message, and OK empties the field")

    user.type_into(inputs, "Zone Volume (m3)", "1000")
    user.press(user.button(inputs, "Estimate.."))
    pool = user.window(POOL_TITLE)
    user.expect_text(pool, "Desired Zone Air Temperature (°C)", "28")
    user.expect_text(pool, "Desired Zone Relative Humidity (%)", "60")
    for name in ("Occupancy Type A (people using pool)", "Occupancy Type B (people not using pool)"):
        user.control(pool, name, (a.ROLE_COMBO_BOX,), "an editable list")
    step("Estimate.. opens the pool screen with the zone's temperature and humidity")

    user.type_into(pool, "Occupancy Type A (people using pool)", "10")
    user.type_into(pool, "Occupancy Type B (people not using pool)", "5")
    user.press(user.button(pool, "Calculate"))
    user.expect_text(pool, "Pool Evaporation (litres/day)", "158.64")
    proceed = user.button(pool, "Continue...")
    wait_for('"Continue..." to be enabled', lambda: t.has(proceed, a.STATE_ENABLED), timeout=5)
    user.press(proceed)
    wait_for("the pool screen to close", lambda: not t.window(user.app, POOL_TITLE,
                                                              (a.ROLE_FRAME,)))
    step("the pool calculation gives 158.64 litres/day and Continue... closes it")

    user.expect_text(inputs, "Swimming Pool Gains (litres/day)", "158.64")
    user.expect_text(inputs, "Occupancy (No. People)", "15")
    user.expect_text(inputs, "Occupant Activity", "Social")
    for group_name, names in ZONE_RESULTS.items():
        group = gains if group_name == "Building Zone Moisture Gain" else units
        for name in names:
            user.expect_text(group, name, "", timeout=2)
    step("the zone screen holds the pool gain, 15 people, Social and no results")

    user.press(user.button(main, "Swimming Pool Evaporation Rate Only"))
    pool = user.window(POOL_TITLE)
    user.press(user.button(pool, "Calculate"))
    user.expect_text(pool, "Pool Evaporation (litres/day)", "158.64")
    user.act(user.menu_item(pool, "Evaporation Methods..."), "Press")
    methods = user.window(METHODS_TITLE, roles=(a.ROLE_DIALOG,))

    def figures():
        return [t.text(n) for n in t.walk(methods)
                if t.role(n) in (a.ROLE_TEXT, a.ROLE_ENTRY) and t.showing(n)]

    wait_for("the methods window to show the run", lambda: any(figures()), timeout=5)
    # Ctrl+O from an entry: the menu item's own action would wait for the dialog.
    user.press(user.button(main, "Swimming Pool Evaporation Rate Only"))
    user.focus(user.field(pool, "Pool Area (m2)"), pool)
    user.key("o", held="Control")
    dialog = user.window("Open Job", roles=(a.ROLE_DIALOG,))
    user.type_into(dialog, "File name:", user.job_file)
    user.press(user.button(dialog, "Open"))
    wait_for("the file dialog to close", lambda: not t.window(user.app, "Open Job", None))
    user.expect_text(pool, "Desired Zone Air Temperature (°C)", "31")
    user.expect_text(pool, "Pool Area (m2)", "50")
    user.expect_text(pool, "Pool Evaporation (litres/day)", "")
    user.expect_text(pool, "No. HX 100", "")
    wait_for("the methods window to forget the run", lambda: not any(figures()), timeout=5)
    user.press(user.button(pool, "Calculate"))
    user.expect_text(pool, "Pool Evaporation (litres/day)", "47.80")
    user.expect_text(pool, "No. HX 100", "0.7")
    step("Ctrl+O opens a job on the pool screen, which empties its results and the methods "
         "window's")

    def project_window():
        for node in t.children(user.app):
            if (t.role(node) == a.ROLE_FRAME and t.name(node).startswith(PROJECT_TITLE)
                    and t.showing(node)):
                return node
        return None

    def figure(root, name):
        node = user.field(root, name)
        return wait_for(f'"{name}" to show a figure', lambda: t.text(node), timeout=5)

    user.act(user.menu_item(main, "New Project..."), "Press")
    project = wait_for("the project window", project_window)
    gains_of_rooms = []
    def screen_of(room):
        """The calculation screen captioned with the room's name after its own."""
        for node in t.children(user.app):
            if (t.role(node) == a.ROLE_FRAME and t.name(node).endswith(": " + room)
                    and t.showing(node)):
                return node
        return None

    for add, room, total in (("Add Zone Room", "Zone room 1", "Total Moisture Gain (litres/day)"),
                             ("Add Pool Room", "Pool room 2", "Total Gains (litres/day)")):
        user.press(user.button(project, add))
        # A button is pressed from the event loop: the new room, selected, comes after.
        wait_for(f'the room "{room}" in the project',
                 lambda: t.find(project, room, (a.ROLE_TABLE_CELL,)), timeout=5)
        open_room = user.button(project, "Open Room")
        wait_for('"Open Room" to be enabled', lambda: t.has(open_room, a.STATE_ENABLED), timeout=5)
        user.press(open_room)
        screen = wait_for(f'a calculation screen captioned with "{room}"',
                          lambda: screen_of(room), timeout=5)
        if add == "Add Zone Room":
            user.type_into(user.group(screen, "Calculation Inputs"), "Zone Volume (m3)", "2000")
        user.press(user.button(screen, "Calculate"))
        gains_of_rooms.append(figure(screen, total))
        wait_for(f"the room's gain {gains_of_rooms[-1]} in its row",
                 lambda: t.find(project, gains_of_rooms[-1], (a.ROLE_TABLE_CELL,)), timeout=5)
    step("a project of a zone room and a pool room, each calculated on its own screen, "
         f"shows their gains {gains_of_rooms} in its rows")

    per_size = [int(figure(project, size)) for size in ("HX 100", "HX 160", "HX 200")]
    in_all = int(figure(project, "Units in All"))
    if in_all != sum(per_size) or in_all < 2:
        raise Failure(f"the project's totals read {per_size} per size and {in_all} in all")
    step(f"the project's totals read {per_size} units per size, {in_all} in all")

    user.press(user.button(project, "Close"))
    box = user.window(BOX_TITLE, roles=(a.ROLE_ALERT, a.ROLE_DIALOG))
    buttons = [t.name(n) for n in t.walk(box) if t.role(n) == a.ROLE_PUSH_BUTTON and t.showing(n)]
    discard = [name for name in buttons if name not in ("Save", "Cancel")]
    if sorted(buttons) != sorted(["Save", "Cancel"] + discard) or len(discard) != 1:
        raise Failure(f"closing the changed project offers {buttons}, expected Save, Discard "
                      "and Cancel")
    user.press(user.button(box, "Cancel"))
    wait_for("the question to go", lambda: not t.window(user.app, BOX_TITLE,
                                                        (a.ROLE_ALERT, a.ROLE_DIALOG)))
    if project_window() is None:
        raise Failure("Cancel closed the project window")
    user.press(user.button(project, "Close"))
    box = user.window(BOX_TITLE, roles=(a.ROLE_ALERT, a.ROLE_DIALOG))
    user.press(user.button(box, discard[0]))
    wait_for("the project window to close", lambda: project_window() is None)
    user.window(ZONE_TITLE)
    step("closing the changed project asks Save / Discard / Cancel; Cancel keeps it, "
         "Discard closes it and the zone screen is its own again")

    exit_item = wait_for('File > Exit on "Detailed Calculation"',
                         lambda: t.find(zone, "Exit", (a.ROLE_MENU_ITEM,), showing=False))
    user.act(exit_item, "Press")
    try:
        status = user.program.wait(timeout=10)
    except subprocess.TimeoutExpired:
        raise Failure("varneldh was still running 10 s after File > Exit") from None
    if status != 0:
        raise Failure(f"varneldh ended with exit status {status} after File > Exit")
    step("File > Exit ends the program with status 0")


# --- main ------------------------------------------------------------------------


def missing_tools():
    missing = []
    if not find_tool(["Xvfb"]):
        missing.append("Xvfb (package xvfb)")
    if not find_tool(["dbus-daemon"]):
        missing.append("dbus-daemon (package dbus)")
    launcher = find_tool(["/usr/libexec/at-spi-bus-launcher",
                          "/usr/lib/at-spi2-core/at-spi-bus-launcher"])
    if not launcher:
        missing.append("at-spi-bus-launcher (package at-spi2-core)")
    # Found, not loaded: loading them looks for the accessibility bus at once.
    if importlib.util.find_spec("pyatspi") is None or importlib.util.find_spec("gi") is None:
        missing.append("the Python AT-SPI bindings (package python3-pyatspi)")
    return missing, launcher


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program", help="the varneldh executable")
    parser.add_argument("--timeout", type=float, default=100,
                        help="give up after this many seconds (default 100)")
    args = parser.parse_args()

    program_path = os.path.abspath(args.program)
    if not os.access(program_path, os.X_OK):
        print(f"FAIL: {program_path} is not an executable program", flush=True)
        return 1
    missing, launcher = missing_tools()
    if missing:
        print("this test needs " + ", ".join(missing) + "; scripts/setup.sh installs them",
              flush=True)
        return 1 if os.environ.get("CI") else SKIPPED

    def give_up(signum, frame):
        raise Failure(f"gave up after {args.timeout:g} s")

    def terminated(signum, frame):
        raise Failure(f"stopped by signal {signum}")

    signal.signal(signal.SIGALRM, give_up)
    signal.signal(signal.SIGTERM, terminated)
    signal.signal(signal.SIGINT, terminated)
    signal.setitimer(signal.ITIMER_REAL, args.timeout)

    procs = Processes()
    workdir = tempfile.mkdtemp(prefix="varneldh-e2e-")
    program_log = os.path.join(workdir, "varneldh.log")
    user = None
    try:
        runtime = os.path.join(workdir, "runtime")
        os.mkdir(runtime, 0o700)
        for key in ("WAYLAND_DISPLAY", "AT_SPI_BUS_ADDRESS", "QT_SCALE_FACTOR",
                    "VARNELDH_HELP_COLLECTION", "SESSION_MANAGER"):
            os.environ.pop(key, None)
        os.environ.update({
            "XDG_RUNTIME_DIR": runtime,
            "XDG_CACHE_HOME": os.path.join(workdir, "cache"),
            "XDG_CONFIG_HOME": os.path.join(workdir, "config"),
            "XDG_DATA_HOME": os.path.join(workdir, "data"),
        })
        os.environ["DISPLAY"] = start_display(procs, workdir)
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = start_session_bus(procs, workdir)
        bus = start_accessibility_bus(procs, workdir, launcher)
        log(f"display {os.environ['DISPLAY']}, accessibility bus {bus}")

        # Only now: the bindings find the accessibility bus when first loaded.
        import pyatspi

        with open(program_log, "wb") as plog:
            env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
            program = procs.start("varneldh", [program_path], cwd=workdir, env=env,
                                  stdin=subprocess.DEVNULL, stdout=plog, stderr=plog)
        log(f"started {program_path} (pid {program.pid})")
        user = User(Tree(pyatspi), program)
        user.job_file = os.path.join(workdir, "hall.vdhjob")
        with open(user.job_file, "w") as job:
            job.write('{"format": "varneldh-job", "formatVersion": 1, "calculation": "pool", '
                      '"entries": {"txttemp": "31", "txtpoolarea": "50", "txtOccupancy": "10", '
                      '"cmbOccupancy2": "5"}}\n')
        run_steps(user)
        signal.setitimer(signal.ITIMER_REAL, 0)
        log("PASS")
        return 0
    except Failure as failure:
        signal.setitimer(signal.ITIMER_REAL, 0)
        print(f"FAIL: {failure}", flush=True)
        if user is not None and user.app is not None:
            try:
                print("What the accessibility bus showed of varneldh:", flush=True)
                print("\n".join(user.t.dump(user.app)), flush=True)
            except Exception as error:
                print(f"(the tree could not be read: {error})", flush=True)
        return 1
    finally:
        signal.setitimer(signal.ITIMER_REAL, 0)
        procs.stop_all()
        try:
            with open(program_log, "r", errors="replace") as plog:
                output = plog.read().strip()
            if output:
                print("varneldh said:\n" + output[-4000:], flush=True)
        except OSError:
            pass
        shutil.rmtree(workdir, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
