#!/usr/bin/python3
"""The recorder's window as a screen reader sees it over AT-SPI.

   test_accessibility.py <thermo-sim> <ports folder>

Run against a recorder that was started with accessibility on, under X with
the keyboard free for xdotool. Checks the names and descriptions, the tab
order, the main button's Press action and the Alt accelerators of its
captions, the last ones against a simulated thermometer on port 7.
"""
import subprocess
import sys
import time

import pyatspi

TITLE = 'Pomiarownik.     zrx1.txt'

# Every named control once, by role; the colour box by its label (on Linux a
# combo box's own name is its current entry).
EXPECTED = [
    ('panel', 'Temperatura [C]'), ('text', 'Odczyt temperatury'),
    ('panel', 'Wykres'), ('check box', 'Płynący'), ('label', 'Dlugosc (min)'),
    ('text', 'Długość okna wykresu w minutach'), ('check box', 'Kresl'),
    ('combo box', 'Kolor linii wykresu'), ('text', 'Dopisek do tytułu wykresu'),
    ('panel', 'Alarm'), ('check box', 'Wł'), ('text', 'Dolny próg alarmu'),
    ('text', 'Górny próg alarmu'), ('panel', 'Pomiar co:'),
    ('text', 'Odstęp pomiarów, minuty'), ('label', 'min'),
    ('text', 'Odstęp pomiarów, sekundy'), ('label', 'sek'), ('label', 'ALARM'),
    ('frame', 'Sterowanie pomiarem'), ('push button', 'Połącz'),
    ('push button', 'Zapis ustawień'), ('filler', 'Wykres temperatury'),
]
INPUT_ROLES = {'text', 'check box', 'combo box', 'push button'}
# Left to right by group, row by row within one.
TAB_ORDER = [
    'Odczyt temperatury', 'Płynący', 'Długość okna wykresu w minutach', 'Kresl',
    'Kolor linii wykresu', 'Dopisek do tytułu wykresu', 'Wł', 'Dolny próg alarmu',
    'Górny próg alarmu', 'Odstęp pomiarów, minuty', 'Odstęp pomiarów, sekundy',
    'Połącz', 'Zapis ustawień', 'Wykres temperatury',
]

failures = []


def check(ok, what):
    print(('ok   ' if ok else 'FAIL ') + what)
    if not ok:
        failures.append(what)
    return ok


def wait_for(probe, seconds, step=0.1):
    deadline = time.time() + seconds
    while True:
        value = probe()
        if value or time.time() > deadline:
            return value
        time.sleep(step)


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def role(node):
    return node.getRoleName()


def field_name(node):
    """What a screen reader calls the control: a combo box by its first label."""
    if role(node) == 'combo box':
        for relation in node.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                return relation.getTarget(0).name
    return node.name


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == 'pomiarownik':
            return app
    return None


def top_level(app, title):
    return next((w for w in app if w is not None and w.name == title), None)


def main_window(app):
    return top_level(app, TITLE)


def check_names(window):
    nodes = list(walk(window))
    for want_role, want_name in EXPECTED:
        found = [n for n in nodes if role(n) == want_role and field_name(n) == want_name]
        if check(len(found) == 1, f'one {want_role} named "{want_name}"'):
            check(found[0].description != '', f'"{want_name}" has a description')
    fields = [n for n in nodes if role(n) in INPUT_ROLES]
    names = [field_name(n) for n in fields]
    check(all(names), 'every input field has a name')
    check(all(n.description for n in fields), 'every input field has a description')
    twice = sorted({n for n in names if names.count(n) > 1})
    check(not twice, f'no two input fields share a name {twice}')


def focused_name(window):
    for node in walk(window):
        if role(node) in INPUT_ROLES | {'filler'} and \
                node.getState().contains(pyatspi.STATE_FOCUSED):
            return field_name(node)
    return None


def xdotool(*args):
    subprocess.run(['xdotool', *args], check=True)


def key(x_window, keys):
    xdotool('windowfocus', '--sync', x_window)
    xdotool('key', keys)


def check_tab_order(window, x_window):
    seen = []
    for _ in range(2 * len(TAB_ORDER)):
        before = focused_name(window)
        key(x_window, 'Tab')
        seen.append(wait_for(lambda: (lambda now: now if now != before else None)(
            focused_name(window)), 3))
    start = seen.index(TAB_ORDER[0]) if TAB_ORDER[0] in seen else 0
    cycle = seen[start:start + len(TAB_ORDER)]
    check(cycle == TAB_ORDER, f'Tab walks the layout: {cycle}')


def main_button(window):
    return next(n for n in walk(window) if role(n) == 'push button'
                and n.description.startswith('Kolejno'))


def press(node):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    return action.doAction(names.index('Press'))


def expect_box(app, title, text, seconds=30):
    box = wait_for(lambda: top_level(app, title), seconds, 0.25)
    if not check(box is not None, f'the box "{title}" appears'):
        return
    labels = [n.name for n in walk(box) if role(n) == 'label']
    check(any(text in label for label in labels), f'"{title}" says "{text}": {labels}')
    ok = next(n for n in walk(box) if role(n) == 'push button')
    press(ok)
    check(wait_for(lambda: top_level(app, title) is None, 5), f'"{title}" is dismissed')


def expect_caption(button, name):
    got = wait_for(lambda: button.name if button.name == name else None, 10)
    check(got == name, f'the main button is named "{name}" (is "{button.name}")')


def check_run_control(app, window, x_window, sim_path, ports):
    button = main_button(window)
    expect_caption(button, 'Połącz')
    check(press(button), 'the main button takes Press')
    expect_box(app, 'Uwaga !', 'Urządzenie nie odpowiada ')
    expect_caption(button, 'Połącz')

    sim = subprocess.Popen([sim_path, '--port', '7', '--links-dir', ports, '--constant', '30'],
                           stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    try:
        check(sim.stdout.readline().startswith('ready'), 'the simulator is ready')
        for keys, box, caption in [('alt+p', 'Znaleziono  :', 'Mierz'),
                                   ('alt+m', None, 'Wstrzymaj'),
                                   ('alt+w', None, 'Wznów'),
                                   ('alt+w', None, 'Wstrzymaj'),
                                   ('alt+w', None, 'Wznów')]:
            key(x_window, keys)
            if box:
                expect_box(app, box, 'KVT-4xx')
            expect_caption(button, caption)
    finally:
        sim.stdin.write('quit\n')
        sim.stdin.close()
        sim.wait(10)


def main():
    sim_path, ports = sys.argv[1], sys.argv[2]
    app = wait_for(application, 30, 0.25)
    window = app and wait_for(lambda: main_window(app), 30, 0.25)
    if not check(window is not None, f'the window "{TITLE}" is on the bus'):
        return 1
    x_window = subprocess.run(['xdotool', 'search', '--onlyvisible', '--name', f'^{TITLE}$'],
                              check=True, capture_output=True, text=True).stdout.split()[0]
    check_names(window)
    check_tab_order(window, x_window)
    check_run_control(app, window, x_window, sim_path, ports)
    print(f'{len(failures)} failed' if failures else 'all passed')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
