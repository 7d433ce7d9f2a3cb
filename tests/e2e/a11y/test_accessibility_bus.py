#!/usr/bin/python3
"""The real quarbel window as a screen reader meets it: this process (as Orca would) reads its
controls through the accessibility bus by name, role and state, follows the progress bar
during a job, presses Convert and Cancel through their actions and answers the message boxes;
keys go through the X server (xdotool). Usage: test_accessibility_bus.py BUILD_DIR, with
DISPLAY set. It starts its own session bus (the accessibility bus is started from it); waits
poll the bus until a deadline, nothing sleeps to synchronise."""

import os, shutil, subprocess, sys, tempfile, time, uuid

from gi.repository import GLib

PICTURES = 120  # about 60 ms each: the job runs for seconds


def wait_for(what, find, deadline=30.0):
    end = time.monotonic() + deadline
    while time.monotonic() < end:
        while GLib.MainContext.default().iteration(False):  # the bus's news for the cache
            pass
        try:
            found = find()
        except (RuntimeError, AttributeError, LookupError):  # read while it changed
            found = None
        if found:
            return found
        time.sleep(0.02)
    sys.exit("FAILED: not found on the bus: " + what)


def check(seen, expected):
    print("  screen reader:", seen, flush=True)
    if seen != expected:
        sys.exit("FAILED: expected %r" % expected)


def main(build):
    work = tempfile.mkdtemp(prefix="quarbel-a11y-")
    src, out = os.path.join(work, "src"), os.path.join(work, "out")
    os.makedirs(src), os.makedirs(out)
    subprocess.run(["convert", "-size", "2000x1500", "xc:#2878c8", os.path.join(src, "p000.png")], check=True)
    for i in range(1, PICTURES):
        shutil.copy(os.path.join(src, "p000.png"), os.path.join(src, "p%03d.png" % i))
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                           stdout=subprocess.PIPE, text=True)
    os.environ["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
    import pyatspi
    pyatspi.Registry.getDesktop(0).childCount  # the accessibility bus up before the program
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QUARBEL_INSTANCE_KEY=str(uuid.uuid4()))
    env.pop("QT_QPA_PLATFORM", None)
    program = subprocess.Popen([os.path.join(build, "src/app/quarbel")], env=env)
    try:
        run(pyatspi, program, src, out)
    finally:
        program.kill(), program.wait(), bus.terminate(), bus.wait()
        # Later programs in this X server must not look for the bus that went.
        subprocess.run(["xprop", "-root", "-remove", "AT_SPI_BUS"], stderr=subprocess.DEVNULL)
        shutil.rmtree(work)
    print("PASSED")


def run(pyatspi, program, src, out):
    def application():
        desktop = pyatspi.Registry.getDesktop(0)
        desktop.clear_cache()
        return next((a for a in desktop if a is not None and a.name == "quarbel" and a.childCount), None)

    app = wait_for("the quarbel application", application)
    window = app[0]
    has = lambda acc, state: acc.getState().contains(state)

    def walk(acc, depth=0):
        yield acc
        if depth < 4 and acc.getRoleName() not in ("combo box", "list"):
            for child in acc:
                yield from walk(child, depth + 1) if child is not None else ()

    def find(role, name, root=window):
        return wait_for(role + " " + name, lambda: next(
            (a for a in walk(root) if a.getRoleName() == role and a.name == name), None))

    def percent(bar):
        v = bar.queryValue()
        return round(100 * (v.currentValue - v.minimumValue) / (v.maximumValue - v.minimumValue))

    def said(acc):  # what Orca says on reaching the object
        role = acc.getRoleName()
        parts = [acc.name, role] + {
            "progress bar": lambda: ["%d percent" % percent(acc)],
            "list": lambda: ["%d items" % acc.childCount],
            "text": lambda: [t.getText(0, -1) for t in [acc.queryText()] if t.characterCount],
        }.get(role, lambda: [])()
        parts += [] if has(acc, pyatspi.STATE_SENSITIVE) else ["unavailable"]
        return ", ".join(parts + ([acc.description] if acc.description else []))

    def press(acc, name="Press"):
        action = acc.queryAction()
        action.doAction(next(i for i in range(action.nActions) if action.getName(i) == name))

    def dialog():
        return next((w for w in list(app)[1:] if w is not None and w.getRoleName() in ("alert", "dialog")
                     and has(w, pyatspi.STATE_SHOWING)), None)

    def answer(expected, button):
        box = wait_for("a message box", dialog)
        texts = " ".join(a.name for a in walk(box) if a.getRoleName() == "label" and a.name)
        check("%s, %s: %s" % (box.name, box.getRoleName(), texts), expected)
        press(find("push button", button, box))
        wait_for("the message box to close", lambda: dialog() is None)

    for expected in ["Clear, push button, unavailable", "Help, push button, Online Help",
                     "Source, push button", "Destination, push button", "Cancel, push button, unavailable",
                     "Convert, push button", "Progress, progress bar, 0 percent",
                     "Image files, list, 0 items, Drag and Drop Image Files", "Preview, image",
                     "Width, text, 0, unavailable", "Height, text, 0, unavailable", "Source path, text",
                     "Destination folder, text"]:
        name, role = expected.split(", ")[:2]
        check(said(find(role, name)), expected)

    # Convert with nothing chosen: the job's first check answers.
    press(find("push button", "Convert"))
    answer("Error, alert:  Please select source directory.", "OK")

    # A folder of pictures (Multiple, Source, the picker's field) and a destination.
    press(find("radio button", "Multiple"), "Toggle")
    press(find("push button", "Source"))
    picker = wait_for("the folder picker", dialog)
    next(a for a in walk(picker) if has(a, pyatspi.STATE_EDITABLE)).queryEditableText().setTextContents(src)
    press(find("push button", "Choose", picker))
    find("text", "Destination folder").queryEditableText().setTextContents(out)
    wait_for("the pictures in the list", lambda: find("list", "Image files").childCount == PICTURES)
    # The preview is decoded in a worker: it names its picture once it shows it.
    wait_for("the first picture in the preview", lambda: said(find("image", "Preview")).endswith("p000.png"))
    check(said(find("image", "Preview")), "Preview, image, p000.png")

    # Convert, then Cancel while the bar moves; Yes stops the job and empties the bar.
    bar = find("progress bar", "Progress")
    press(find("push button", "Convert"))
    wait_for("the job's progress", lambda: 0 < percent(bar) < 100)
    print("  screen reader:", said(bar), flush=True)
    check(said(find("push button", "Cancel")), "Cancel, push button")
    press(find("push button", "Cancel"))
    answer("Image Conversion, alert: Do you want to cancel?", "Yes")
    wait_for("the end of the job", lambda: has(find("push button", "Convert"), pyatspi.STATE_SENSITIVE))
    check(said(bar), "Progress, progress bar, 0 percent")

    # Keys: Delete, and the menu's Delete from Shift+F10, remove the current item; Tab walks
    # the window in its order.
    xid = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(program.pid)],
                         capture_output=True, text=True).stdout.split()[0]
    subprocess.run(["xdotool", "windowfocus", "--sync", xid])
    find("list", "Image files").queryComponent().grabFocus()
    key = lambda name: subprocess.run(["xdotool", "key", name], check=True)
    key("Home"), key("Delete")
    wait_for("one item fewer", lambda: find("list", "Image files").childCount == PICTURES - 1)
    key("shift+F10"), key("Down"), key("Return")  # Delete is the menu's first enabled command
    wait_for("two items fewer", lambda: find("list", "Image files").childCount == PICTURES - 2)
    stops, at = [], "Image files"
    for _ in range(15):
        key("Tab")
        at = wait_for("the focus to leave " + at, lambda: next(
            (a.name for a in walk(window) if has(a, pyatspi.STATE_FOCUSED) and a.name != at), None))
        stops.append(at)
    stops[0] = "Single/Multiple" if stops[0] in ("Single", "Multiple") else stops[0]  # Qt picks
    check("|".join(stops), "Single/Multiple|Do not overwrite files|Process sub-folders|JPG|75|"
          "Open folder after conversion/resizing|Convert|Clear|Source path|Source|"
          "Destination folder|Destination|Help|Cancel|Convert")


if __name__ == "__main__":
    main(sys.argv[1])
