# An order taken over the AT-SPI bus, as with a screen reader: the program
# (argv[1]) on its own X server, in dbus-run-session. Fails in one line.
# A style sheet given on its command line and a qtlogging.ini change nothing.
import os, shutil, subprocess, sys, tempfile, time

def fail(why):
    sys.exit("screen reader check: " + why)

def find(top, role, name, description=None, action=None):  # waits up to 30 s
    for _ in range(300):
        nodes, found = [top], None
        for node in nodes:
            try:  # a window being built or closed may drop a node as it is read
                if (node.getRoleName(), node.name) == (role, name) and description in (None, node.description):
                    found = node
                    break
                nodes += [child for child in node if child]
            except Exception:
                continue
        if found:
            actions = found.queryAction() if action else None
            actions and actions.doAction([actions.getName(i) for i in range(actions.nActions)].index(action))
            return found
        time.sleep(0.1)
    fail(f"no {role} '{name}' '{description or ''}' within 30 s")

def gone(app, role):  # waits up to 30 s for the box or summary to go: until then the main window is blocked
    for _ in range(300):
        try:  # a box just closed may be gone as it is read
            if role not in [c.getRoleName() for c in app if c and c.getState().contains(pyatspi.STATE_SHOWING)]:
                return
        except Exception:
            pass
        time.sleep(0.1)
    fail(f"the {role} stayed up for 30 s")

try:  # pyatspi ends the process when there is no bus: ask for the bus first
    from gi.repository import Gio
    Gio.bus_get_sync(Gio.BusType.SESSION).call_sync(
        "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None, None, 0, 10000)
    import pyatspi
except Exception as error:
    fail(f"the accessibility bus did not start ({error})")
scratch = tempfile.mkdtemp()
os.mkdir(scratch + "/QtProject")
with open(scratch + "/QtProject/qtlogging.ini", "w") as ini, open(scratch + "/planted.qss", "w") as qss:
    ini.write("[Rules]\n*.debug=true\n*.info=true\n"), qss.write("* { qproperty-enabled: false; }\n")
errors = open(scratch + "/errors", "w+")
read, write = os.pipe()
xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-nolisten", "tcp"], pass_fds=[write])
program = subprocess.Popen(sys.argv[1:] + ["-stylesheet", scratch + "/planted.qss"], stderr=errors, env=dict(
    os.environ, DISPLAY=":" + os.read(read, 9).decode().strip(), LC_ALL="pt_BR.UTF-8", XDG_CONFIG_HOME=scratch,
    QT_MESSAGE_PATTERN="%{type} %{category}: %{message}", QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))
try:
    app = find(pyatspi.Registry.getDesktop(0), "application", "Morvesta")
    main = find(app, "frame", "Morvesta")
    find(main, "radio button", "1/2 - 1/2", action="Toggle")
    card = find(main, "text", "Número")
    card.queryEditableText().setTextContents("4111abcd<b>x</b>")
    (typed := card.queryText().getText(0, -1)) == "4111" or fail(f"the card field took '{typed}'")
    pedidos = pyatspi.findAllDescendants(main, lambda n: (n.getRoleName(), n.name) == ("push button", "Pedido"))
    for pedido in pedidos:  # the button and the toolbar's, pressed together: one line, one box
        pedido.queryAction().doAction(0)
    find(find(app, "alert", "Morvesta"), "label", "Pedido Cadastrado")
    option = find(main, "radio button", "Dinheiro", action="Toggle")  # behind the box
    option.getState().contains(pyatspi.STATE_CHECKED) and fail("a reader's action went behind the box")
    find(find(app, "alert", "Morvesta"), "push button", "OK", action="Press")
    gone(app, "alert")
    len(pedidos) == 2 or fail(f"{len(pedidos)} Pedido buttons, not 2")
    find(main, "push button", "Pedido", action="Press")  # answered: a press registers again
    find(find(app, "alert", "Morvesta"), "push button", "OK", action="Press")
    gone(app, "alert")
    find(main, "radio button", "Dinheiro", action="Toggle")
    find(main, "push button", "Total", action="Press")
    find(find(app, "dialog", "Resumo"), "label", "Total", "11,8")
    find(find(app, "dialog", "Resumo"), "push button", "Sair", action="Press")
    gone(app, "dialog")
    find(main, "push button", "Sair", action="Press")
    program.wait(30) == 0 or fail(f"the program ended with status {program.returncode}")
    errors.seek(0)
    (debug := [line for line in errors if line.startswith(("debug ", "info "))]) and fail(f"Qt's debug output is on: {debug[0]}")
except Exception as error:
    fail(f"{type(error).__name__}: {error}")
finally:
    program.kill()
    xvfb.kill()
    shutil.rmtree(scratch)
