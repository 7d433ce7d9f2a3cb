#!/usr/bin/python3
"""A screen reader's view of the running quarbel window, through the accessibility bus.

Run beside the program (same DISPLAY and session bus) as its own process:

  screen_reader.py read                 prints an Orca-style line for each named control
  screen_reader.py press NAME ANSWER    presses the push button NAME through its action,
                                        prints the message box that opens and presses its
                                        button ANSWER
  screen_reader.py cancel-job ANSWER    presses Convert, prints the progress bar while the
                                        job runs, presses Cancel, prints the question and
                                        presses ANSWER; prints the bar once the job ended
  screen_reader.py focused NAME         waits until the control with the keyboard focus is
                                        not NAME, and prints it

Nothing here sleeps to wait: every wait polls the bus for what should appear, until a
deadline. Exit status 0 when every step found what it looked for, 1 otherwise.
"""

import sys
import time

import pyatspi

DEADLINE = 30.0  # seconds any one wait may take
POLL = 0.02


def wait_for(what, find, deadline=DEADLINE):
    end = time.monotonic() + deadline
    while time.monotonic() < end:
        try:
            found = find()
        except SystemExit:
            raise
        except Exception:  # an object that went away while it was read
            found = None
        if found is not None and found is not False:
            return found
        time.sleep(POLL)
    raise SystemExit("not found on the bus: " + what)


def application():
    def find():
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == "quarbel" and app.childCount > 0:
                return app
        return None
    return wait_for("the quarbel application", find)


def walk(acc, depth=0):
    yield acc
    if depth < 4 and acc.getRoleName() not in ("combo box", "list"):
        for i in range(acc.childCount):
            child = acc.getChildAtIndex(i)
            if child is not None:
                yield from walk(child, depth + 1)


def main_window(app):
    return app.getChildAtIndex(0)


def find(root, role, name):
    for acc in walk(root):
        if acc.getRoleName() == role and acc.name == name:
            return acc
    return None


def has(acc, state):
    return acc.getState().contains(state)


def percent(acc):
    value = acc.queryValue()
    span = value.maximumValue - value.minimumValue
    return round(100 * (value.currentValue - value.minimumValue) / span) if span else 0


def orca_line(acc):
    """What Orca says on reaching the object: name, role, then its state."""
    role = acc.getRoleName()
    parts = [acc.name, role]
    if role == "progress bar":
        parts.append("%d percent" % percent(acc))
    if role == "list":
        parts.append("%d items" % acc.childCount)
    if role == "text":
        text = acc.queryText()
        if text.characterCount:
            parts.append(text.getText(0, -1))
    if has(acc, pyatspi.STATE_CHECKABLE) or role in ("check box", "radio button"):
        parts.append("checked" if has(acc, pyatspi.STATE_CHECKED) else "not checked")
    if has(acc, pyatspi.STATE_PRESSED):
        parts.append("pressed")
    if not has(acc, pyatspi.STATE_SENSITIVE):
        parts.append("unavailable")
    try:
        action = acc.queryAction()
        keys = [action.getKeyBinding(i) for i in range(action.nActions) if action.getKeyBinding(i)]
        if keys:
            parts.append(keys[0])
    except NotImplementedError:
        pass
    if acc.description:
        parts.append(acc.description)
    return ", ".join(parts)


def press(acc, action_name="Press"):
    action = acc.queryAction()
    for i in range(action.nActions):
        if action.getName(i) == action_name:
            return action.doAction(i)
    raise SystemExit("no %s action on %s" % (action_name, acc.name))


def new_dialog(app):
    """The first top-level window of the program besides the main window."""
    for i in range(1, app.childCount):
        window = app.getChildAtIndex(i)
        if window is not None and window.getRoleName() in ("alert", "dialog") and has(window, pyatspi.STATE_SHOWING):
            return window
    return None


def answer_dialog(app, answer):
    dialog = wait_for("a message box", lambda: new_dialog(app))
    texts = [acc.name for acc in walk(dialog) if acc.getRoleName() == "label" and acc.name]
    print("%s, %s: %s" % (dialog.name, dialog.getRoleName(), " ".join(texts)), flush=True)
    button = wait_for("its %s button" % answer, lambda: find(dialog, "push button", answer))
    press(button)
    wait_for("the message box to close", lambda: new_dialog(app) is None)


CONTROLS = [
    ("push button", "Clear"), ("push button", "Help"), ("push button", "Source"),
    ("push button", "Destination"), ("push button", "Cancel"), ("push button", "Convert"),
    ("progress bar", "Progress"), ("list", "Image files"), ("filler", "Preview"),
    ("text", "Width"), ("text", "Height"), ("text", "Source path"), ("text", "Destination folder"),
]


def read(app):
    window = main_window(app)
    for role, name in CONTROLS:
        acc = wait_for("%s %s" % (role, name), lambda: find(window, role, name))
        print(orca_line(acc), flush=True)


def cancel_job(app, answer):
    window = main_window(app)
    bar = wait_for("the progress bar", lambda: find(window, "progress bar", "Progress"))
    press(wait_for("Convert", lambda: find(window, "push button", "Convert")))
    def moving():
        dialog = new_dialog(app)
        if dialog is not None:
            raise SystemExit("a message box instead of progress: " + " ".join(
                acc.name for acc in walk(dialog) if acc.getRoleName() == "label"))
        return 0 < percent(bar) < 100
    wait_for("the job's progress", moving)
    print(orca_line(bar), flush=True)
    cancel = find(window, "push button", "Cancel")
    print(orca_line(cancel), flush=True)
    press(cancel)
    answer_dialog(app, answer)
    # The job has ended once Convert is available again.
    wait_for("the end of the job", lambda: has(find(window, "push button", "Convert"), pyatspi.STATE_SENSITIVE))
    print(orca_line(bar), flush=True)


def focused(app, previous):
    def find_focused():
        for acc in walk(main_window(app)):
            if has(acc, pyatspi.STATE_FOCUSED) and acc.name != previous:
                return acc
        return None
    print(orca_line(wait_for("the focus to move from " + previous, find_focused)), flush=True)


def main(argv):
    app = application()
    if argv[1:2] == ["read"]:
        read(app)
    elif argv[1:2] == ["press"] and len(argv) == 4:
        button = wait_for(argv[2], lambda: find(main_window(app), "push button", argv[2]))
        press(button)
        answer_dialog(app, argv[3])
    elif argv[1:2] == ["focused"] and len(argv) == 3:
        focused(app, argv[2])
    elif argv[1:2] == ["cancel-job"] and len(argv) == 3:
        cancel_job(app, argv[2])
    else:
        raise SystemExit(__doc__)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
