"""Uses the real program as a screen reader does, through AT-SPI's client
library (the one Orca uses): lists its window, types into the input box
through the editable-text interface, presses HOST TO IP and IP TO HOST by
their actions, reads both answers back through the text interface, and
presses QUIT, which must end the program with status 0.

    screen-reader.py TESSARIN
"""

import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

program = subprocess.Popen([sys.argv[1]])


def fail(message):
    program.kill()
    sys.exit("FAIL: " + message)


def wait_for(what, found, seconds=30):
    """Serves the bus's events until found() answers something."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while GLib.MainContext.default().iteration(False):
            pass
        answer = found()
        if answer:
            return answer
        time.sleep(0.05)
    fail(what)


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "Tessarin" and app.childCount > 0:
            return app
    return None


window = wait_for("no Tessarin window on the accessibility bus", application)[0]
controls = list(window)
# Role, name, actions and the states that matter, as a screen reader would say them.
print(f"{window.getRoleName()} '{window.name}'")
for control in controls:
    actions = control.queryAction() if "Action" in pyatspi.listInterfaces(control) else None
    names = [actions.getName(i) for i in range(actions.nActions)] if actions else []
    states = [pyatspi.stateToString(s) for s in control.getState().getStates()
              if s in (pyatspi.STATE_FOCUSABLE, pyatspi.STATE_EDITABLE, pyatspi.STATE_READ_ONLY)]
    print(f"  {control.getRoleName()} '{control.name}' actions={names} states={states}")

if window.getRoleName() != "frame" or not window.name.startswith("Tessarin - You are: "):
    fail("the window is no frame named with its title")
roles = [(control.getRoleName(), control.name) for control in controls]
buttons = [("push button", caption) for caption in ("HOST TO IP", "IP TO HOST", "ABOUT", "QUIT")]
if roles[1:5] != buttons or [role for role, _ in roles] != ["text"] + ["push button"] * 4 + ["text"]:
    fail(f"not the input box, four push buttons and the answer box: {roles}")
if any(not name for _, name in roles):
    fail("a nameless control")
entry, answer = controls[0], controls[5]
if not answer.getState().contains(pyatspi.STATE_READ_ONLY):
    fail("the answer box is not read-only")
button = dict(zip(("HOST TO IP", "IP TO HOST", "ABOUT", "QUIT"), controls[1:5]))

changed = []
pyatspi.Registry.registerEventListener(
    lambda event: changed.append(event.source.name), "object:text-changed:insert")


def ask(text, command):
    """Types the text into the input box, presses the command and answers what the answer box
    says once it has changed."""
    entry.queryEditableText().setTextContents(text)
    before = answer.queryText().getText(0, -1)
    changed.clear()
    button[command].queryAction().doAction(0)
    shown = wait_for(f"{command} changed nothing",
                     lambda: answer.queryText().getText(0, -1) != before
                     and answer.queryText().getText(0, -1))
    wait_for(f"no text-changed event from the answer box after {command}",
             lambda: answer.name in changed)
    print(f"{command} on {text}: {shown}")
    return shown


if ask("localhost", "HOST TO IP") != "127.0.0.1":
    fail("HOST TO IP on localhost did not answer 127.0.0.1")
if ask("127.0.0.1", "IP TO HOST") in ("", "127.0.0.1"):
    fail("IP TO HOST on 127.0.0.1 answered no name")
try:
    button["QUIT"].queryAction().doAction(0)
except GLib.Error:
    pass  # the program may end before it replies
try:
    status = program.wait(timeout=30)
except subprocess.TimeoutExpired:
    fail("QUIT did not end the program")
if status != 0:
    sys.exit(f"FAIL: QUIT ended the program with status {status}")
