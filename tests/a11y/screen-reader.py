# Uses the real program as a screen reader does, through AT-SPI's client
# library (the one Orca uses): lists its window, types into the input box
# through the editable-text interface, presses HOST TO IP and IP TO HOST by
# their actions, reads both answers back through the text interface, and
# presses QUIT, which must end the program with status 0.
#
#   screen-reader.py TESSARIN

import contextlib
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

program = subprocess.Popen([sys.argv[1]])


def fail(message):
    program.kill()
    sys.exit("FAIL: " + message)


def wait_for(failure, found):
    """Serves the bus's events until found() answers something, for at most 30 s."""
    end = time.monotonic() + 30
    while time.monotonic() < end:
        while GLib.MainContext.default().iteration(False):
            pass
        answer = found()
        if answer:
            return answer
        time.sleep(0.05)
    fail(failure)


window = wait_for("no Tessarin window on the accessibility bus", lambda: next(
    (app[0] for app in pyatspi.Registry.getDesktop(0)
     if app is not None and app.name == "Tessarin" and app.childCount > 0), None))
controls = list(window)
print(f"{window.getRoleName()} '{window.name}'")
for control in controls:  # as a screen reader would say them
    action = control.queryAction() if "Action" in pyatspi.listInterfaces(control) else None
    states = [pyatspi.stateToString(state) for state in control.getState().getStates()
              if state in (pyatspi.STATE_FOCUSABLE, pyatspi.STATE_EDITABLE, pyatspi.STATE_READ_ONLY)]
    print(f"  {control.getRoleName()} '{control.name}'",
          [action.getName(i) for i in range(action.nActions)] if action else [], states)

captions = ["HOST TO IP", "IP TO HOST", "ABOUT", "QUIT"]
if (window.getRoleName(), window.name.split(":")[0]) != ("frame", "Tessarin - You are"):
    fail("the window is no frame named with its title")
if [(control.getRoleName(), control.name) for control in controls[1:5]] != [
        ("push button", caption) for caption in captions] or len(controls) != 6 or any(
        control.getRoleName() != "text" or not control.name for control in controls[::5]) or [
        c.getState().contains(pyatspi.STATE_READ_ONLY) for c in controls[::5]] != [False, True]:
    fail("not a named input box, four push buttons and a named read-only answer box")
entry, answer, button = controls[0], controls[5], dict(zip(captions, controls[1:5]))
changed = []
pyatspi.Registry.registerEventListener(
    lambda event: changed.append(event.source.name), "object:text-changed:insert")


def ask(text, command):
    """Types the text, presses the command and answers what the answer box says once changed."""
    entry.queryEditableText().setTextContents(text)
    shown = answer.queryText().getText(0, -1)
    changed.clear()
    button[command].queryAction().doAction(0)
    shown = wait_for(f"{command} changed nothing",
                     lambda: answer.queryText().getText(0, -1) not in (shown, "")
                     and answer.queryText().getText(0, -1))
    wait_for(f"no text-changed event from the answer box after {command}",
             lambda: answer.name in changed)
    print(f"{command} on {text}: {shown}")
    return shown


if ask("localhost", "HOST TO IP") != "127.0.0.1":
    fail("HOST TO IP on localhost did not answer 127.0.0.1")
ask("127.0.0.1", "IP TO HOST")  # a name: neither empty nor the address shown before
with contextlib.suppress(GLib.Error):  # the program may end before it replies
    button["QUIT"].queryAction().doAction(0)
wait_for("QUIT did not end the program", lambda: program.poll() is not None)
if program.returncode != 0:
    sys.exit(f"FAIL: QUIT ended the program with status {program.returncode}")
