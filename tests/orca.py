# An order taken from the keyboard with Orca, as a blind operator takes it: the program (argv[1]) and
# Orca on their own X server with openbox, in dbus-run-session, keys and the mouse through the X
# server. After each step Orca must speak these lines (its debug log's SPEECH OUTPUT) and nothing else.
import os, pty, re, shutil, signal, subprocess, sys, tempfile, threading, time, tty

STARTED = "Leitor de tela ativado."
# Each step: keys, or "menu" for a right click on the window's bare surface; then Orca's lines,
# "|" between them.
STEPS = [
    ("", STARTED + "|Morvesta quadro.|Pedido botão de apertar."),
    ("Tab", "Tipo painel.|Inteira.|não selecionado botão de opção"), ("space", "selecionado"),
    ("alt+p", "alerta Morvesta.|Pedido Cadastrado.|OK botão de apertar."),
    ("Return", "Morvesta quadro.|Tipo painel.|Inteira.|selecionado botão de opção"),
    ("Tab", "Pagamento painel.|Dinheiro.|não selecionado botão de opção"),
    ("Down", "Cheque.|não selecionado botão de opção"), ("Down", "Cartão.|não selecionado botão de opção"),
    ("space", "selecionado"), ("Tab", "Sabor painel.|Sabor 1 caixa de combinação.|Mussarela."),
    ("Down", "Calabresa"), ("Tab", "Preço painel.|Preço 1 caixa de combinação editável.|     5.90."),
    ("Tab", "Preço 2 caixa de combinação editável."), ("Tab", "Preço 3 caixa de combinação editável."),
    ("Tab", "Cartão caixa de combinação."), ("alt+Down", "Lista com 7 itens."), ("Down", "American Express."),
    ("Return", "Cartão caixa de combinação.|American Express."), ("Tab", "Calculadora botão de apertar."),
    ("Tab", "Total botão de apertar."), ("Tab", "Sair botão de apertar."), ("Tab", "Número texto."),
    # A digit typed is heard; the menu over the field, left with Escape, gives it back as it was; the
    # next digit is heard, and the character under the caret as an arrow moves it.
    ("4", "4"), ("menu", ""), ("Down", "Calculadora."), ("Escape", "Morvesta|Número texto.|4."),
    ("1", "1"), ("Left", "1"),
    ("Tab", "Pedido botão de apertar."), ("alt+t", "Resumo diálogo Morvesta Turo Velmura.|"
     "Pagamento Cartão American Express. Total 5.|Pizza.|Lista com 1 item."),
    ("alt+r", "Morvesta quadro.|Pedido botão de apertar.")]
BARE_SURFACE = ["18", "40"]  # left of the title, below the toolbar
# Orca says nothing as the menu opens, until an entry is chosen; its log shows the menu.
MENU_SHOWN = "object:state-changed:showing for [popup menu"



def wait_until(condition, seconds=60):
    deadline = time.monotonic() + seconds
    while not condition() and time.monotonic() < deadline:
        time.sleep(0.1)
    return condition()


class OrcaLog:  # read through a pseudo-terminal: Orca flushes its log line by line only to a terminal
    def __init__(self):
        self.reader, writer = pty.openpty()
        tty.setraw(writer)
        self.path, self.chunks = os.ttyname(writer), []
        threading.Thread(target=self.read, daemon=True).start()

    def read(self):
        while chunk := os.read(self.reader, 65536):
            self.chunks.append(chunk)

    def text(self):
        return b"".join(self.chunks).decode(errors="replace")

    def speech(self):
        return re.findall(r"SPEECH OUTPUT: '(.*?)' ?(?:\[?\{|voice)", self.text())


def fail(why):
    if log.chunks:  # kept for a look, beside the test
        with open("orca-debug.log", "w") as kept:
            kept.write(log.text())
        why += f" (Orca's log: {os.path.abspath('orca-debug.log')})"
    sys.exit("orca check: " + why)


def take_order(program_command, scratch):
    os.makedirs(scratch + "/prefs")
    os.makedirs(scratch + "/run", 0o700)
    with open(scratch + "/prefs/user-settings.conf", "w") as settings:  # what is typed, not the keys
        settings.write('{"general": {"enableKeyEcho": false, "enableEchoByCharacter": true}, '
                       '"profiles": {"default": {"profile": ["Default", "default"]}}, '
                       '"pronunciations": {}, "keybindings": {}}')
    read, write = os.pipe()
    start(["Xvfb", "-displayfd", str(write), "-nolisten", "tcp"], pass_fds=[write])
    env = dict(os.environ, DISPLAY=":" + os.read(read, 9).decode().strip(), LC_ALL="pt_BR.UTF-8",
               HOME=scratch, XDG_RUNTIME_DIR=scratch + "/run", SPEECHD_CMD="/bin/false")  # no synthesizer
    start(["openbox"], env=env)
    orca = start(["orca", "-u", scratch + "/prefs", "--debug-file", log.path], env=env)
    # Orca will not start while another Orca of this user runs.
    wait_until(lambda: "ORCA: Startup complete" in log.text() or orca.poll() is not None)
    if "ORCA: Startup complete" not in log.text():
        fail(f"Orca did not start ({orca.poll()}): another Orca on?")
    # The program on this X server, whatever platform the environment names.
    program = start(program_command, env=dict(env, QT_QPA_PLATFORM="xcb"))

    def xdotool(*args):
        return subprocess.run(["xdotool", *args], env=env, check=True, capture_output=True).stdout

    heard = 0
    for keys, expected in STEPS:
        if keys == "menu":
            window = xdotool("search", "--sync", "--onlyvisible", "--name", "^Morvesta$").split()[0]
            menus = log.text().count(MENU_SHOWN)
            xdotool("mousemove", "--window", window, *BARE_SURFACE, "click", "3")
            if not wait_until(lambda: log.text().count(MENU_SHOWN) > menus):
                fail("the pop-up menu did not open within 60 s")
        elif keys:
            xdotool("key", keys)
        expected = expected.split("|") if expected else []

        def all_said_or_wrong():  # Orca's lines read once: one may come in between two reads
            said = log.speech()[heard:]
            return len(said) >= len(expected) or said != expected[:len(said)]

        wait_until(all_said_or_wrong)
        said = log.speech()[heard:]
        if said == [STARTED]:
            fail(f"the program's window never reached the screen reader: Orca said only {said}")
        if said[:len(expected)] != expected:
            fail(f"after '{keys}' Orca said {said}, not {expected}")
        heard += len(expected)
    xdotool("key", "alt+r")
    if program.wait(60) != 0:
        fail(f"the program ended with status {program.returncode}")


def start(command, **options):
    processes.append(subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                      **options))
    return processes[-1]


log, processes, scratch = OrcaLog(), [], tempfile.mkdtemp()
signal.signal(signal.SIGTERM, lambda *_: fail("stopped"))
try:
    take_order(sys.argv[1:], scratch)
except (OSError, subprocess.SubprocessError) as error:
    fail(f"{type(error).__name__}: {error}")
finally:
    for process in processes:
        process.kill()
        process.wait()
    shutil.rmtree(scratch)
