#!/usr/bin/python3
"""The real qpv-panel driven from outside, as a screen reader or a desktop automation tool does.

    /usr/bin/python3 tst_a11y_e2e.py PATH/TO/qpv-panel

Starts its own X server (Xvfb) and a private D-Bus session with the AT-SPI bus, runs the panel
there with COM1 on a pseudo-terminal, and plays the projector on the other end. Buttons are
pressed through their AT-SPI actions and by real mouse clicks at the positions AT-SPI gives;
the bytes on the line are read, replies written, and the STATUS line is read back through AT-SPI.

Needs Xvfb, dbus-run-session, xdotool and python3-pyatspi (scripts/setup.sh installs them);
the Debian python3 (/usr/bin/python3), which has pyatspi. Bounded: every wait has a limit, and
the whole run is stopped after RUN_LIMIT_S seconds.
"""

import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback
import tty

RUN_LIMIT_S = 90
X_START_LIMIT_S = 15
APP_START_LIMIT_S = 30
STATUS_READ_LIMIT_S = 0.8  # the STATUS line is blanked a second after the send
LINE_READ_LIMIT_S = 2.0
BLANKING_LIMIT_S = 4.0  # 2.5 s after a free-text SEND, 1 s after a button

APP_NAME = "qpv-panel"
WINDOW_TITLE = "OMTA   QPV-7100   CONTROL   Ver.1.42"
TOGGLE_CAPTION = "データを表示する"
CONTROL_COUNT = 122

STARTED = time.monotonic()


class Failure(Exception):
    pass


def log(message):
    print(f"[{time.monotonic() - STARTED:6.2f}s] {message}", flush=True)


def check(condition, message):
    if not condition:
        raise Failure(message)


def kill_group(process, grace_s=2.0):
    """Ends a process group this script started, politely first."""
    if process is None or process.poll() is not None and not group_alive(process.pid):
        return
    for sig, wait_s in ((signal.SIGTERM, grace_s), (signal.SIGKILL, 2.0)):
        try:
            os.killpg(process.pid, sig)
        except ProcessLookupError:
            return
        deadline = time.monotonic() + wait_s
        while time.monotonic() < deadline:
            process.poll()
            if not group_alive(process.pid):
                return
            time.sleep(0.05)


def group_alive(pgid):
    try:
        os.killpg(pgid, 0)
        return True
    except ProcessLookupError:
        return False
    except PermissionError:
        return True


# ---------------------------------------------------------------------------------------------
# Outside: the X server and the private session bus around the run.


def outer(panel):
    for tool in ("Xvfb", "dbus-run-session", "xdotool"):
        check(shutil.which(tool), f"{tool} is not installed (scripts/setup.sh installs it)")
    check(os.access(panel, os.X_OK), f"no executable panel at {panel}")

    scratch = tempfile.mkdtemp(prefix="qpv-a11y-")
    os.chmod(scratch, 0o700)
    xvfb = session = None
    try:
        xvfb, display = start_xvfb(scratch)
        log(f"Xvfb on :{display}")
        env = {
            key: value
            for key, value in os.environ.items()
            if not key.startswith(("DBUS_", "AT_SPI_", "QT_", "WAYLAND_", "XDG_SESSION"))
        }
        env.update(
            DISPLAY=f":{display}",
            XDG_RUNTIME_DIR=scratch,
            QPV_A11Y_SCRATCH=scratch,
            QT_QPA_PLATFORM="xcb",
            QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
            LC_ALL="C.UTF-8",
        )
        env.pop("XAUTHORITY", None)
        remaining = RUN_LIMIT_S - (time.monotonic() - STARTED)
        session = subprocess.Popen(
            ["dbus-run-session", "--", sys.executable, os.path.abspath(__file__), "--inner",
             panel],
            env=env,
            start_new_session=True,
        )
        try:
            code = session.wait(timeout=remaining)
        except subprocess.TimeoutExpired:
            log(f"FAIL: the run did not end within {RUN_LIMIT_S} s; stopped")
            code = 1
        return code
    finally:
        kill_group(session)  # the panel and the buses, if any are left
        kill_group(xvfb)
        shutil.rmtree(scratch, ignore_errors=True)


def start_xvfb(scratch):
    """Xvfb on a display it picks itself (-displayfd), so parallel runs never collide."""
    read_end, write_end = os.pipe()
    with open(os.path.join(scratch, "xvfb.log"), "wb") as errors:
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten",
             "tcp", "-noreset"],
            pass_fds=(write_end,),
            stdout=subprocess.DEVNULL,
            stderr=errors,
            start_new_session=True,
        )
    os.close(write_end)
    received = b""
    deadline = time.monotonic() + X_START_LIMIT_S
    while not received.endswith(b"\n"):
        wait_s = deadline - time.monotonic()
        ready = select.select([read_end], [], [], max(0.0, wait_s))[0] if wait_s > 0 else []
        chunk = os.read(read_end, 64) if ready else b""
        if not chunk:
            kill_group(xvfb)
            with open(os.path.join(scratch, "xvfb.log"), "rb") as f:
                tail = f.read()[-2000:].decode(errors="replace")
            raise Failure(f"Xvfb did not start within {X_START_LIMIT_S} s:\n{tail}")
        received += chunk
    os.close(read_end)
    return xvfb, int(received)


# ---------------------------------------------------------------------------------------------
# Inside the private session: the panel, the projector's end of the line, the AT-SPI client.


class Projector:
    """The far end of COM1: reads what the panel sends, writes replies."""

    def __init__(self):
        self.master, self.slave = os.openpty()
        tty.setraw(self.slave)  # the slave stays open: the line never hangs up
        self.path = os.ttyname(self.slave)

    def drain(self):
        got = b""
        while select.select([self.master], [], [], 0)[0]:
            chunk = os.read(self.master, 4096)
            if not chunk:
                break
            got += chunk
        return got

    def read_command(self, limit_s=LINE_READ_LIMIT_S):
        """Everything up to and including the first CR."""
        got = b""
        deadline = time.monotonic() + limit_s
        while b"\r" not in got:
            wait_s = deadline - time.monotonic()
            if wait_s <= 0 or not select.select([self.master], [], [], wait_s)[0]:
                raise Failure(f"no command on the line within {limit_s} s (got {got!r})")
            got += os.read(self.master, 4096)
        return got

    def quiet(self, wait_s=0.05):
        """Nothing more on the line."""
        return not select.select([self.master], [], [], wait_s)[0]

    def write(self, reply):
        os.write(self.master, reply)

    def close(self):
        os.close(self.master)
        os.close(self.slave)


class Desktop:
    """The AT-SPI side: finds the panel's controls and reads and presses them."""

    def __init__(self, pyatspi, glib):
        self.at = pyatspi
        self.context = glib.MainContext.default()
        self.events = []

    def pump(self):
        while self.context.pending():
            self.context.iteration(False)

    def listen(self, *kinds):
        self.at.Registry.registerEventListener(self.remember, *kinds)

    def remember(self, event):
        self.events.append((event.type, event.source, event.detail1, event.any_data))

    def wait_event(self, what, matches, limit_s=2.0):
        deadline = time.monotonic() + limit_s
        while time.monotonic() < deadline:
            self.pump()
            if any(matches(e) for e in self.events):
                return
            time.sleep(0.02)
        seen = [(str(t), d, str(a)[:40]) for t, _, d, a in self.events[-12:]]
        raise Failure(f"no AT-SPI event: {what}; last events seen: {seen}")

    def find_app(self, pid, limit_s=APP_START_LIMIT_S):
        desktop = self.at.Registry.getDesktop(0)
        deadline = time.monotonic() + limit_s
        while time.monotonic() < deadline:
            for i in range(desktop.childCount):
                app = desktop.getChildAtIndex(i)
                try:
                    if app is not None and app.name == APP_NAME and app.get_process_id() == pid:
                        return app
                except Exception:  # an application going away while listed
                    continue
            time.sleep(0.2)
        raise Failure(f"{APP_NAME} (pid {pid}) did not appear on the AT-SPI bus in {limit_s} s")

    def descendants(self, root):
        """Every object below root, in the order a screen reader walks them."""
        found = []
        for i in range(root.childCount):
            child = root.getChildAtIndex(i)
            found.append(child)
            found.extend(self.descendants(child))
        return found

    def role(self, node):
        return node.getRoleName()

    def showing(self, node):
        return node.getState().contains(self.at.STATE_SHOWING)

    def checked(self, node):
        return node.getState().contains(self.at.STATE_CHECKED)

    def labelled_by(self, node):
        for relation in node.getRelationSet():
            if relation.getRelationType() == self.at.RELATION_LABELLED_BY:
                return relation.getTarget(0).name
        return ""

    def text(self, node):
        return node.queryText().getText(0, -1)

    def press(self, node, action="Press"):
        actions = node.queryAction()
        names = [actions.getName(i) for i in range(actions.nActions)]
        check(action in names, f"{node.name!r} has no {action} action (has {names})")
        check(actions.doAction(names.index(action)), f"{action} on {node.name!r} failed")

    def centre(self, node):
        box = node.queryComponent().getExtents(self.at.DESKTOP_COORDS)
        check(box.width > 0 and box.height > 0, f"{node.name!r} has no extents on screen")
        return box.x + box.width // 2, box.y + box.height // 2

    def wait_for(self, what, condition, limit_s):
        deadline = time.monotonic() + limit_s
        while True:
            self.pump()
            value = condition()
            if value is True:
                return
            if time.monotonic() >= deadline:
                raise Failure(f"{what} (within {limit_s} s; last seen: {value!r})")
            time.sleep(0.02)


def xdotool(*arguments, limit_s=5):
    result = subprocess.run(["xdotool", *arguments], capture_output=True, text=True,
                            timeout=limit_s)
    check(result.returncode == 0,
          f"xdotool {' '.join(arguments)} failed: {result.stderr.strip()}")
    return result.stdout


def click(desktop, node, times=1):
    x, y = desktop.centre(node)
    xdotool("mousemove", "--sync", str(x), str(y), "click", "--repeat", str(times), "--delay",
            "80", "1")


def inner(panel):
    try:
        import pyatspi
        from gi.repository import GLib
    except ImportError as error:
        raise Failure(f"pyatspi is missing ({error}); run with /usr/bin/python3, "
                      "install python3-pyatspi")

    scratch = os.environ["QPV_A11Y_SCRATCH"]
    com1 = Projector()
    com2 = Projector()  # a choice of COM2 opens a real device, never a missing one
    app_log = open(os.path.join(scratch, "panel.log"), "wb")
    process = None
    try:
        process = subprocess.Popen([panel, "--com1", com1.path, "--com2", com2.path],
                                   stdout=app_log, stderr=subprocess.STDOUT)
        log(f"started {panel} with COM1 on {com1.path}")
        run(pyatspi, GLib, process, com1)
        log("PASS")
        return 0
    except Exception as failure:  # a failed check, or an AT-SPI call that failed
        if isinstance(failure, Failure):
            log(f"FAIL: {failure}")
        else:
            log(f"FAIL: {failure!r}\n{traceback.format_exc()}")
        if process is not None and process.poll() is not None:
            log(f"the panel had ended, with code {process.returncode}")
        app_log.flush()
        with open(os.path.join(scratch, "panel.log"), "rb") as f:
            tail = f.read()[-3000:].decode(errors="replace")
        if tail.strip():
            print(f"--- panel output ---\n{tail}\n---", flush=True)
        return 1
    finally:
        if process is not None and process.poll() is None:
            process.terminate()
            try:
                process.wait(timeout=3)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait(timeout=3)
        app_log.close()
        com1.close()
        com2.close()


def run(pyatspi, glib, process, projector):
    desktop = Desktop(pyatspi, glib)
    desktop.listen("object:text-changed:insert", "object:property-change:accessible-name",
                   "object:state-changed:showing")
    app = desktop.find_app(process.pid)
    window = None
    for i in range(app.childCount):
        if desktop.role(app.getChildAtIndex(i)) == "frame":
            window = app.getChildAtIndex(i)
    check(window is not None, "the panel has no window (frame) on the AT-SPI bus")
    check(window.name == WINDOW_TITLE, f"window named {window.name!r}")
    desktop.wait_for("the window shows its controls",
                     lambda: desktop.showing(window) and window.childCount > 0 or "empty",
                     APP_START_LIMIT_S)
    log(f"panel found on AT-SPI: {window.name!r}")

    # Every control has a meaningful name: its own, or (a traffic line, whose name is its
    # text, blank at first) that of the caption labelling it.
    controls = desktop.descendants(window)
    dump = []
    unnamed = []
    for node in controls:
        role = desktop.role(node)
        label = desktop.labelled_by(node)
        if not (node.name.strip() or label.strip()):
            unnamed.append(f"{role} {node.name!r}")
        dump.append(f"  {role:13} {node.name!r:30} labelled by {label!r:9} "
                    f"showing={desktop.showing(node)}")
    print("\n".join(["--- the controls as AT-SPI shows them (compact window) ---", *dump]),
          flush=True)
    check(len(controls) == CONTROL_COUNT, f"{len(controls)} controls, expected {CONTROL_COUNT}")
    check(not unnamed, f"controls without a name: {unnamed}")

    def one(role, name):
        found = [n for n in controls if desktop.role(n) == role and n.name == name]
        check(len(found) == 1, f"{len(found)} controls with role {role!r} named {name!r}")
        return found[0]

    def traffic_line(caption):
        found = [n for n in controls
                 if desktop.role(n) == "label" and desktop.labelled_by(n) == caption]
        check(len(found) == 1, f"{len(found)} traffic lines labelled {caption!r}")
        return found[0]

    button = {name: one("push button", name) for name in (
        "POWER ON", "PJ-Status", "LAMP-Status", "LAMP-TIME", "POWER-Status", "VOLUME 35",
        "Picture row 3 D by D", "COM", "SEND", "CLS", "END", TOGGLE_CAPTION)}
    option = {name: one("radio button", name) for name in ("COM1", "COM2", "115200", "9600")}
    entry = one("text", "CMD")
    logo = one("image", "OMTA logo")
    settings = one("panel", "COM settings")
    txd, rxd, status = traffic_line("TXD"), traffic_line("RXD"), traffic_line("STATUS")
    toggle = button[TOGGLE_CAPTION]

    def expect_showing(nodes, expected, mode):
        wrong = [n.name or desktop.labelled_by(n) for n in nodes
                 if desktop.showing(n) != expected]
        check(not wrong, f"{mode} window: {'not ' if expected else ''}showing: {wrong}")

    queries = [button[n] for n in ("PJ-Status", "LAMP-Status", "LAMP-TIME", "POWER-Status")]
    full_only = [button["VOLUME 35"], entry, button["SEND"], button["CLS"]]
    expect_showing([button["POWER ON"], button["COM"], button["END"], logo], True, "compact")
    expect_showing(queries + full_only + [txd, rxd, status, toggle, settings] +
                   list(option.values()), False, "compact")
    check(desktop.checked(option["COM1"]) and desktop.checked(option["9600"]),
          "COM1 and 9600 are not marked at start")
    check(not desktop.checked(option["COM2"]) and not desktop.checked(option["115200"]),
          "COM2 or 115200 is marked at start")
    log("compact window: every control named; hidden and cut-off ones not showing")

    # Ctrl+J, typed on the focused window, shows the traffic display and the queries.
    window_id = ""
    deadline = time.monotonic() + 10
    while not window_id:
        check(time.monotonic() < deadline, "the panel's X window was not found")
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "QPV-7100"],
                               capture_output=True, text=True, timeout=5).stdout.split()
        window_id = found[0] if found else ""
        time.sleep(0 if window_id else 0.1)
    # The title as the window system shows it: nothing appended to it.
    title = xdotool("getwindowname", window_id).strip()
    check(title == WINDOW_TITLE, f"the title bar shows {title!r}")
    xdotool("windowfocus", "--sync", window_id)
    desktop.wait_for("the panel's window becomes active",
                     lambda: window.getState().contains(pyatspi.STATE_ACTIVE) or "inactive", 5)
    xdotool("key", "--clearmodifiers", "ctrl+j")
    desktop.wait_for("Ctrl+J shows the status queries",
                     lambda: all(desktop.showing(q) for q in queries) or "not showing", 5)
    expect_showing(queries + [txd, rxd, status, toggle], True, "extended")
    expect_showing(full_only, False, "extended")
    check(toggle.name == "CLOSE", f"the toggle is named {toggle.name!r}, expected 'CLOSE'")
    desktop.wait_event("PJ-Status announced as showing",
                       lambda e: e[0].startswith("object:state-changed:showing")
                       and e[1] == button["PJ-Status"] and e[2] == 1)
    log("Ctrl+J: traffic display and queries showing, and announced so")

    # A double-click on the logo shows the whole panel, the entry box too.
    click(desktop, logo, times=2)
    desktop.wait_for("the double-click on the logo shows the whole panel",
                     lambda: all(desktop.showing(n) for n in full_only) or "not showing", 5)
    log("logo double-clicked: the whole panel showing")

    # The settings panel: COM shows it; a choice marks its option and closes the panel.
    desktop.press(button["COM"])
    desktop.wait_for("COM shows the settings panel",
                     lambda: desktop.showing(settings) and desktop.showing(option["115200"])
                     or "not showing", 3)
    desktop.press(option["115200"])
    desktop.wait_for("choosing 115200 marks it and closes the settings panel",
                     lambda: desktop.checked(option["115200"]) and not desktop.showing(settings)
                     or "unchanged", 3)
    check(not desktop.checked(option["9600"]), "9600 still marked after choosing 115200")
    click(desktop, button["COM"])
    desktop.wait_for("COM, clicked, shows the settings panel",
                     lambda: desktop.showing(option["9600"]) or "not showing", 3)
    click(desktop, option["9600"])
    desktop.wait_for("clicking 9600 marks it",
                     lambda: desktop.checked(option["9600"]) or "not marked", 3)
    check(desktop.checked(option["COM1"]), "COM1 no longer marked")
    check(projector.drain() == b"", "choosing a speed sent something down the line")
    log("settings panel: shown, options chosen by action and by click, marks exposed")

    def send(trigger, node, command):
        how = "pressed" if trigger == "action" else "clicked"
        if trigger == "action":
            desktop.press(node)
        else:
            click(desktop, node)
        got = projector.read_command()
        frame = command + b"\r"
        check(got == frame, f"{node.name} ({how}) sent {got!r}, expected {frame!r}")
        check(projector.quiet(), f"more than one command after {node.name} ({how})")
        return how

    def exchange(trigger, node, command, reply, expected_status, expected_rxd=None):
        how = send(trigger, node, command)
        projector.write(reply)
        desktop.wait_for(f"STATUS after {command.decode()!r} and the reply {reply!r} reads "
                         f"{expected_status!r}",
                         lambda: (desktop.text(status), status.name)
                         == (expected_status, expected_status)
                         or f"text {desktop.text(status)!r}, name {status.name!r}",
                         STATUS_READ_LIMIT_S)
        if expected_rxd is not None:
            check(desktop.text(rxd) == expected_rxd,
                  f"RXD reads {desktop.text(rxd)!r}, expected {expected_rxd!r}")
        log(f"{command.decode()!r} ({how} {node.name!r}), reply {reply!r}: STATUS "
            f"{expected_status!r}")
        # The exchange is over when the lines are blanked (the reply watchdog ran before).
        desktop.wait_for("the traffic lines are blanked after the exchange",
                         lambda: desktop.text(txd) == "" or desktop.text(txd),
                         BLANKING_LIMIT_S)

    # The four status queries, pressed through AT-SPI and clicked with the mouse.
    exchange("action", button["PJ-Status"], b"TABN   1", b"80\r", " Stand by", " 8 0 CR ")
    desktop.wait_event("the new STATUS announced as inserted text",
                       lambda e: e[0].startswith("object:text-changed:insert")
                       and e[1] == status and e[3] == " Stand by")
    desktop.wait_event("the new STATUS announced as a name change",
                       lambda e: e[0].startswith("object:property-change:accessible-name")
                       and e[1] == status)
    exchange("mouse", button["PJ-Status"], b"TABN   1", b"00\r", " Normal")
    exchange("action", button["LAMP-Status"], b"TLPS   1", b"1\r", " ON")
    exchange("mouse", button["POWER-Status"], b"POWR????", b"0\r", " Standby")
    exchange("mouse", button["LAMP-TIME"], b"TLTT   1", b"0123 0456 0789 1011\r",
             " 0 1 2 3   0 4 5 6   0 7 8 9   1 0 1 1 Hour Use")

    # Typed queries: into the entry box (typed on the keyboard, or set through AT-SPI's
    # editable text), then SEND.
    editable = entry.queryEditableText()

    def typed(how_typed, text):
        desktop.press(button["CLS"])
        desktop.wait_for("CLS empties the entry box",
                         lambda: desktop.text(entry) == "" or desktop.text(entry), 2)
        if how_typed == "keyboard":
            click(desktop, entry)
            desktop.wait_for("the entry box takes the focus",
                             lambda: entry.getState().contains(pyatspi.STATE_FOCUSED)
                             or "not focused", 3)
            xdotool("type", "--delay", "30", text)
        else:
            check(editable.setTextContents(text), "setting the entry box's text failed")
        desktop.wait_for(f"the entry box reads {text!r}",
                         lambda: desktop.text(entry) == text or desktop.text(entry), 3)

    typed("keyboard", "CR7")
    exchange("mouse", button["SEND"], b"CR7", b"1A\r", " No2,4 ON  : 2 Lamp mode(1,4)")
    typed("editable text", "CRA")
    exchange("action", button["SEND"], b"CRA", b"FF\r", " Stand by")
    typed("editable text", "CR PRESSURE")
    exchange("action", button["SEND"], b"CR PRESSURE", b"512\r", "650 hPa")
    typed("keyboard", "CR4")
    exchange("mouse", button["SEND"], b"CR4", b"00\r", " Top/Bottom , Left/Right reversal")

    # Two more command buttons, one each way; then END ends the program.
    send("mouse", button["VOLUME 35"], b"VOLA  35")
    projector.write(b"\x06")
    send("action", button["Picture row 3 D by D"], b"CF INPUT3 ANALOG")
    projector.write(b"\x06")
    desktop.press(button["END"])
    try:
        code = process.wait(timeout=5)
    except subprocess.TimeoutExpired:
        raise Failure("END did not end the program within 5 s")
    check(code == 0, f"the program ended with {code} after END")
    log("END pressed: the program ended")


if __name__ == "__main__":
    try:
        if len(sys.argv) == 3 and sys.argv[1] == "--inner":
            sys.exit(inner(sys.argv[2]))
        if len(sys.argv) != 2:
            print(__doc__, file=sys.stderr)
            sys.exit(2)
        sys.exit(outer(sys.argv[1]))
    except Failure as failure:
        log(f"FAIL: {failure}")
        sys.exit(1)
