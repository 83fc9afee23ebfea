#!/usr/bin/python3
"""Usage: tst_a11y_e2e.py PATH/TO/qpv-panel (the Debian python3, with python3-pyatspi)."""

# The real panel driven from outside, as a screen reader or a desktop automation tool does:
# its own Xvfb, a private D-Bus session with the AT-SPI bus, and COM1 on a pseudo-terminal
# whose other end this script plays. Every wait is bounded, and the whole run too.

import contextlib, os, select, shutil, signal, subprocess, sys, tempfile, time, tty

TITLE = "OMTA   QPV-7100   CONTROL   Ver.1.42"
RUN_LIMIT_S = 100  # ctest gives 150


def stop(process):  # the process group of a process this script started
    for sig in (signal.SIGTERM, signal.SIGKILL):
        with contextlib.suppress(ProcessLookupError, subprocess.TimeoutExpired):
            os.killpg(process.pid, sig), process.wait(timeout=3)


def xdotool(*arguments, must=True):
    done = subprocess.run(["xdotool", *arguments], capture_output=True, text=True, timeout=10)
    assert done.returncode == 0 or not must, f"xdotool {' '.join(arguments)}: {done.stderr}"
    return done.stdout


def outer(panel):
    scratch = tempfile.mkdtemp(prefix="qpv-a11y-")
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp"],
                            pass_fds=(write_end,), stderr=subprocess.DEVNULL,
                            start_new_session=True)
    os.close(write_end)
    session = None
    try:
        assert select.select([read_end], [], [], 15)[0], "Xvfb did not start within 15 s"
        env = {k: v for k, v in os.environ.items() if not k.startswith(("DBUS_", "AT_SPI_", "QT_"))}
        env.update(DISPLAY=":" + os.read(read_end, 64).decode().strip(), XDG_RUNTIME_DIR=scratch,
                   QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        session = subprocess.Popen(["dbus-run-session", "--", sys.executable, __file__, "--inner",
                                    panel], env=env, start_new_session=True)
        return session.wait(timeout=RUN_LIMIT_S)
    except subprocess.TimeoutExpired:
        print(f"FAIL: not done within {RUN_LIMIT_S} s, stopped", flush=True)
        return 1
    finally:
        for process in filter(None, (session, xvfb)):
            stop(process)
        shutil.rmtree(scratch, ignore_errors=True)


# Inside the private session; what is left running when it ends, outer() stops.
def inner(panel):
    import pyatspi as at
    from gi.repository import GLib

    context = GLib.MainContext.default()
    line, device = os.openpty()
    tty.setraw(device)  # and kept open, so the line never hangs up
    app = subprocess.Popen([panel, "--com1", os.ttyname(device)])
    inserted = []
    at.Registry.registerEventListener(lambda e: inserted.append((e.source, e.any_data)),
                                      "object:text-changed:insert")

    # Until probe() gives True; anything else it gives is what it saw instead.
    def wait(what, probe, limit_s=5.0):
        deadline = time.monotonic() + limit_s
        while (seen := probe()) is not True:
            assert time.monotonic() < deadline, f"{what} (within {limit_s} s; seen {seen!r})"
            time.sleep(0.02)
            while context.pending():
                context.iteration(False)

    def sent(expected):
        got = b""
        while len(got) < len(expected) and select.select([line], [], [], 2)[0]:
            got += os.read(line, 4096)
        assert got == expected, f"the line got {got!r}, expected {expected!r}"

    def press(node):
        assert node.queryAction().getName(0) == "Press", f"{node.name!r} has no Press action"
        node.queryAction().doAction(0)

    frames = lambda: [w for a in at.Registry.getDesktop(0) if a.get_process_id() == app.pid
                      for w in a if w.getRoleName() == "frame" and w.childCount]
    wait("the panel's window on the AT-SPI bus", lambda: bool(frames()) or "not yet", 30)
    window = frames()[0]
    assert window.name == TITLE, f"the window is named {window.name!r}"

    labelled_by = lambda node: next((r.getTarget(0).name for r in node.getRelationSet()
                                     if r.getRelationType() == at.RELATION_LABELLED_BY), "")

    # A traffic line's name is its text, blank at first: the caption labelling it names it.
    controls = [(n, n.getRoleName(), n.name, labelled_by(n))
                for n in at.findAllDescendants(window, lambda node: True)]
    assert len(controls) == 122, f"{len(controls)} controls, expected 122"

    def one(role, name, by_label=False):
        hits = [c[0] for c in controls if c[1] == role and c[3 if by_label else 2] == name]
        assert len(hits) == 1, f"{len(hits)} {role} controls called {name!r}"
        return hits[0]

    showing = lambda node: node.getState().contains(at.STATE_SHOWING)
    text = lambda node: node.queryText().getText(0, -1)
    status = one("label", "STATUS", by_label=True)

    # STATUS as a screen reader has it: its text, and its name, which is spoken when it changes.
    heard = lambda: (text(status), status.name)
    reads = lambda expected: lambda: heard() == (expected, expected) or heard()

    found = lambda: xdotool("search", "--onlyvisible", "--name", "QPV-7100", must=False).split()
    wait("the panel's X window", lambda: bool(found()) or "none")
    title = xdotool("getwindowname", found()[0]).rstrip("\n")
    assert title == TITLE, f"the window system shows the title {title!r}"

    queries = [one("push button", q) for q in ("PJ-Status", "LAMP-TIME", "POWER-Status")]
    xdotool("windowfocus", "--sync", found()[0])
    wait("the window active", lambda: window.getState().contains(at.STATE_ACTIVE) or "no")
    xdotool("key", "--clearmodifiers", "ctrl+j")
    wait("Ctrl+J shows the status queries", lambda: all(map(showing, queries)) or "not all")

    press(queries[0])
    sent(b"TABN   1\r")
    os.write(line, b"80\r")
    wait("STATUS reads ' Stand by'", reads(" Stand by"), 0.8)  # blanked a second after the send
    wait("the new STATUS announced", lambda: (status, " Stand by") in inserted or inserted[-3:])


    press(one("push button", "END"))
    app.wait(timeout=5)
    assert app.returncode == 0, f"after END the program ended with {app.returncode}"
    print("PASS", flush=True)


if __name__ == "__main__":
    try:
        assert len(sys.argv) in (2, 3), __doc__
        sys.exit(inner(sys.argv[2]) if sys.argv[1] == "--inner" else outer(sys.argv[1]))
    except AssertionError as failure:
        sys.exit(f"FAIL: {failure}")
