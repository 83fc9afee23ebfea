#!/usr/bin/python3
"""Usage: tst_a11y_e2e.py PATH/TO/qpv-panel PATH/TO/its.desktop, inside an X server and a D-Bus
session of its own."""

# The real panel driven from outside, as a screen reader or a desktop automation tool does,
# with COM1 on a pseudo-terminal whose other end this script plays. Every wait is bounded.

import os, re, select, subprocess, sys, time, tty
import pyatspi as at
from gi.repository import GLib

# What a command (xdotool, xprop) printed; nothing when it failed. What is left running when
# the test ends goes with its X server.
run = lambda *arguments: subprocess.run(arguments, capture_output=True, text=True,
                                        timeout=10).stdout
xdotool = lambda *arguments: run("xdotool", *arguments)


# What the panel has sent: `count` bytes, or all it sends until it rests for half a second.
def drain(line, count=None):
    got = b""
    while (count is None or len(got) < count) and select.select([line], [], [], 0.5)[0]:
        got += os.read(line, 4096)
    return got


def main(panel, desktop_entry):
    context = GLib.MainContext.default()
    # Until probe() gives True; anything else it gives is what it saw instead.
    def wait(what, probe, limit_s=10.0):
        deadline = time.monotonic() + limit_s
        while (seen := probe()) is not True:
            assert time.monotonic() < deadline, f"{what} (within {limit_s} s; seen {seen!r})"
            time.sleep(0.02)
            while context.pending():
                context.iteration(False)

    # A window manager, with a frame of its own, up before the panel maps its window.
    subprocess.Popen(["openbox"], stderr=subprocess.DEVNULL)
    wait("a window manager",
         lambda: "window id" in run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK") or "none", 30)
    line, device = os.openpty()
    tty.setraw(device)  # and kept open, so the line never hangs up
    app = subprocess.Popen([panel, "--com1", os.ttyname(device)])
    # What a screen reader hears: each event's kind, source and what it carries.
    heard = []
    at.Registry.registerEventListener(lambda e: heard.append(
        (e.type, e.source, e.source.description if "description" in e.type else e.any_data)),
        "object:text-changed", "object:property-change")
    events = lambda kind, node: [str(data or "") for k, n, data in heard if kind in k and n == node]

    press = lambda node: node.queryAction().getName(0) == "Press" and node.queryAction().doAction(0)
    # A real click in the middle of the control, where the screen shows it.
    def click(node):
        box = node.queryComponent().getExtents(at.DESKTOP_COORDS)
        xdotool("mousemove", str(box.x + box.width // 2), str(box.y + box.height // 2), "click", "1")
    # What the X server shows of the panel's window.
    screen = lambda: subprocess.run(["xwd", "-silent", "-id", found()[0]],
                                    capture_output=True).stdout

    frames = lambda: [w for a in at.Registry.getDesktop(0) if a.get_process_id() == app.pid
                      for w in a if w.getRoleName() == "frame" and w.childCount]
    wait("the panel's window on the AT-SPI bus", lambda: bool(frames()) or "not yet", 30)
    window = frames()[0]
    found = lambda: xdotool("search", "--onlyvisible", "--name", "QPV-7100").split()
    wait("the panel's X window", lambda: bool(found()) or "none")
    title = xdotool("getwindowname", found()[0]).rstrip("\n")  # as the window system shows it
    named = next(line[5:].rstrip("\n") for line in open(desktop_entry) if line.startswith("Name="))
    assert title == named, f"the title bar reads {title!r}, the desktop entry {named!r}"
    assert "=" in (icon := run("xprop", "-id", found()[0], "_NET_WM_ICON")), f"no icon: {icon!r}"

    # A traffic line's name is its text, blank at first: the caption labelling it names it.
    labelled_by = lambda node: next((r.getTarget(0).name for r in node.getRelationSet()
                                     if r.getRelationType() == at.RELATION_LABELLED_BY), "")
    controls = [(n, n.getRoleName(), n.name, labelled_by(n))
                for n in at.findAllDescendants(window, lambda node: True)]
    assert len(controls) == 122, f"{len(controls)} controls, expected 122"
    assert all(c[2].strip() or c[3] for c in controls), [c[1:] for c in controls if not c[2]]
    one = lambda role, name, by: [c[0] for c in controls if c[1] == role and c[by] == name][0]
    status = one("label", "STATUS", 3)
    queries = [one("push button", q, 2) for q in ("PJ-Status", "LAMP-TIME", "POWER-Status")]

    xdotool("windowfocus", "--sync", found()[0])
    wait("the window active", lambda: window.getState().contains(at.STATE_ACTIVE) or "no")
    xdotool("key", "--clearmodifiers", "ctrl+j")
    showing = lambda node: node.getState().contains(at.STATE_SHOWING)
    wait("Ctrl+J shows the status queries", lambda: all(map(showing, queries)) or "not all")
    # The extended mode's outer height, the window manager's frame included: 7200 twips.
    def outer():
        frame = run("xprop", "-id", found()[0], "_NET_FRAME_EXTENTS").split("=")[-1].split(",")
        inner = re.search(r"HEIGHT=(\d+)", xdotool("getwindowgeometry", "--shell", found()[0]))
        return (int(inner[1]) + int(frame[2]) + int(frame[3])) * 15
    wait("the extended height, 7200 twips", lambda: abs(outer() - 7200) <= 15 or outer())

    press(queries[0])
    assert (got := drain(line, 9)) == b"TABN   1\r", f"the line got {got!r}"
    os.write(line, b"80\r")
    # STATUS as a screen reader is told it: its new text, and its name changed, spoken; told,
    # not read back, which a loaded machine may do only after the lines blank. Read back, its
    # text is its name.
    told = lambda: (events("insert", status)[:1], bool(events("accessible-name", status)))
    wait("STATUS told ' Stand by' and renamed", lambda: told() == ([" Stand by"], True) or told())
    assert (read := status.queryText().getText(0, -1)) == status.name, f"{read!r} named otherwise"

    # A reply that streams into RXD, 16 characters every 5 ms for a second: a screen reader is
    # told a few times a second what changed, not the whole echo every time.
    rxd, before = one("label", "RXD", 3), len(heard)
    for i in range(200):
        os.write(line, b"%016d" % i), time.sleep(0.005)
    end = time.monotonic() + 0.8  # what was told, and the last announcement
    wait("the stream told", lambda: time.monotonic() > end or "listening", 2)
    told = [len(str(d or "")) for k, n, d in heard[before:] if n == rxd and "description" not in k]
    assert 0 < len(told) <= 24 and sum(told) < 20000, f"{len(told)} events, {sum(told)} characters"

    # A key held on a focused button, three times each, while another process keeps a core
    # busy: the X server repeats it as release/press pairs, one command a hold all the same.
    on = one("push button", "POWER ON", 2)
    busy = subprocess.Popen(["sh", "-c", "while :; do :; done"])  # goes with the X server
    assert on.getState().contains(at.STATE_FOCUSED), "the focus is not on POWER ON"
    for key in ("Return", "space") * 3:
        xdotool("keydown", key), time.sleep(2), xdotool("keyup", key)
        assert (sent := drain(line)) == b"POWR   1\r", f"{key} held 2 s sent {sent!r}"
    busy.kill()

    # COM1 chosen again, by a click and by a screen reader's press, stays marked.
    com, com1 = one("push button", "COM", 2), one("radio button", "COM1", 2)
    checked = lambda node: node.getState().contains(at.STATE_CHECKED)
    for choose in (click, press):
        press(com)
        wait("the settings panel", lambda: showing(com1) or "hidden")
        choose(com1)
        wait("the choice made", lambda: not showing(com1) or "still shown")
        press(com)
        wait("COM1 marked", lambda: (showing(com1) and checked(com1)) or "not marked")

    # In the compact window, a press that cannot reach the projector (the adapter pulled)
    # changes what is on the screen.
    press(one("push button", "データを表示する", 2))  # the toggle, named as it was at first
    wait("the compact window", lambda: not showing(status) or "traffic display shown")
    def clicked(sent):  # what the window showed before the click
        before = screen()
        click(on)
        assert sent is None or drain(line) == sent
        return before
    clicked(b"POWR   1\r"), time.sleep(0.3)  # the focus and the pointer on POWER ON
    before = clicked(b"POWR   1\r")
    time.sleep(0.3)
    assert screen() == before, "a press that was sent changed the compact window"
    os.close(line)
    time.sleep(1.5)  # the loss noticed, the settings panel hidden
    before = clicked(None)
    wait("the failed press shown", lambda: screen() != before or "the window as it was")
    wait("the failed press heard",
         lambda: (on.description and on.description in events("description", on)) or "no")

    press(one("push button", "END", 2))
    assert app.wait(timeout=5) == 0, f"after END the program ended with {app.returncode}"

    # In Japanese, as the locale says: the warning box and the program's own names are
    # Japanese, the design's captions as designed.
    app = subprocess.Popen([panel, "--com1", "/nonexistent/ttyUSB7"],
                           env={**os.environ, "LANG": "ja_JP.UTF-8"})
    texts = lambda role: [n.name for a in at.Registry.getDesktop(0)
                          if a.get_process_id() == app.pid
                          for n in at.findAllDescendants(a, lambda n: n.getRoleName() == role)]
    wait("the warning box in Japanese", lambda: any("を開けません" in t for t in texts("label"))
         or texts("label"), 30)
    buttons = texts("push button")
    assert {"POWER ON", "COM", "END", "データを表示する"} <= set(buttons), buttons
    assert "COM 設定" in texts("panel") + texts("grouping"), texts("grouping")
    app.terminate()
    assert app.wait(timeout=5) == 0, f"after SIGTERM the program ended with {app.returncode}"
    print("PASS", flush=True)


if __name__ == "__main__":
    try:
        assert len(sys.argv) == 3, __doc__
        main(*sys.argv[1:])
    except AssertionError as failure:
        sys.exit(f"FAIL: {failure}")
