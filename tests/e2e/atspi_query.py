"""Asks the running SBK3 over AT-SPI, as a screen reader does, what issue-free answers it gives.

Run by atspi.sh on the accessibility bus of its own session. Usage: atspi_query.py splash|main
"""
import signal
import sys
import time

import pyatspi


def fail(why):
    print("FAIL: " + why)
    sys.exit(1)


def app():
    for _ in range(50):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            found = desktop.getChildAtIndex(i)
            if found is not None and found.name == "SBK3":
                return found
        time.sleep(0.2)
    fail("SBK3 is not on the accessibility bus")


def find(node, wanted):
    if wanted(node):
        return node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            found = find(child, wanted)
            if found is not None:
                return found
    return None


def splash():
    window = find(app(), lambda o: o.name == "Sumbrook 3" and o.description)
    if window is None or window.description != "Press Return to start.":
        fail("the splash is not named for a screen reader")
    print("splash: %s. %s" % (window.name, window.description))


def main():
    root = app()
    count = find(root, lambda o: o.getRoleName() == "text" and (o.name or "").startswith("Number"))
    if count is None:
        fail("no Number Of Problems box")
    text = count.queryText()
    end = text.characterCount
    # The query that spun for ever in Qt 6.4's own answer: a word at the end of "30". An alarm
    # ends the wait where the program does not answer.
    signal.alarm(10)
    word = text.getTextAtOffset(end, pyatspi.TEXT_BOUNDARY_WORD_START)
    signal.alarm(0)
    if word[0] != "30":
        fail("the word at the end of the count is %r" % (word,))
    run = text.getAttributeRun(1, False)
    if (run[1], run[2]) != (0, end):
        fail("the attribute run is %r, not the whole text" % (run,))
    kind = find(root, lambda o: o.getRoleName() == "combo box")
    if kind is None or kind.name != "Type: Addition":
        fail("the Type box reads as %r" % (kind.name if kind else None))
    print("word at the end of %r: %r; attribute run %r; Type box: %r"
          % (text.getText(0, -1), word[0], (run[1], run[2]), kind.name))


signal.signal(signal.SIGALRM, lambda *_: fail("SBK3 did not answer a text query in 10 s"))
{"splash": splash, "main": main}[sys.argv[1]]()
