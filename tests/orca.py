# An order taken from the keyboard with Orca, as a blind operator takes it: the program (argv[1]) and
# Orca on their own X server with openbox, in dbus-run-session, keys through the X server. After each
# key Orca must speak these lines (its debug log's SPEECH OUTPUT) and nothing else.
import os, pty, re, signal, subprocess, sys, tempfile, threading, time, tty

STEPS = [  # keys, then what Orca says, "|" between its lines
    ("", "Leitor de tela ativado.|Morvesta quadro.|Pedido botão de apertar."),
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
    ("Tab", "Pedido botão de apertar."), ("alt+t", "Resumo diálogo Morvesta Turo Velmura.|"
     "Pagamento Cartão American Express. Total 5.|Pizza.|Lista com 1 item."),
    ("alt+r", "Morvesta quadro.|Pedido botão de apertar.")]

fail = lambda why: sys.exit("orca check: " + why)
wait = lambda done: any(done() or time.sleep(0.1) for _ in range(600))  # up to 60 s
said = lambda: b"".join(chunks).decode(errors="replace")
scratch = tempfile.mkdtemp()
os.makedirs(scratch + "/prefs"), os.makedirs(scratch + "/run", 0o700)
with open(scratch + "/prefs/user-settings.conf", "w") as settings:  # no key echo
    settings.write('{"general": {"enableKeyEcho": false}, "profiles": '
                   '{"default": {"profile": ["Default", "default"]}}, "pronunciations": {}, "keybindings": {}}')
log, debug = pty.openpty()  # Orca flushes its log line by line only to a terminal
tty.setraw(debug); chunks = []
threading.Thread(target=lambda: [chunks.append(c) for c in iter(lambda: os.read(log, 65536), b"")],
                 daemon=True).start()
read, write = os.pipe()
xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-nolisten", "tcp"], pass_fds=[write])
env = dict(os.environ, DISPLAY=":" + os.read(read, 9).decode().strip(), LC_ALL="pt_BR.UTF-8",
           HOME=scratch, XDG_RUNTIME_DIR=scratch + "/run", SPEECHD_CMD="/bin/false")  # no synthesizer
quiet = dict(env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
others = [xvfb, subprocess.Popen(["openbox"], **quiet),
          subprocess.Popen(["orca", "-u", scratch + "/prefs", "--debug-file", os.ttyname(debug)], **quiet)]
signal.signal(signal.SIGTERM, lambda *_: fail("stopped"))
try:  # Orca will not start while another Orca of this user runs
    wait(lambda: "ORCA: Startup complete" in said() or others[2].poll() is not None)
    "ORCA: Startup complete" in said() or fail(f"Orca did not start ({others[2].poll()}): another Orca on?")
    others.append(program := subprocess.Popen(sys.argv[1:], **quiet)); heard = 0
    for keys, lines in STEPS:
        keys and subprocess.run(["xdotool", "key", keys], env=env, check=True)
        lines = lines.split("|")
        spoken = lambda: re.findall(r"SPEECH OUTPUT: '(.*?)'(?:\[?\{| voice)", said())[heard:]
        wait(lambda: len(spoken()) >= len(lines) or spoken() != lines[:len(spoken())])  # or a wrong one
        spoken()[:len(lines)] == lines or fail(f"after '{keys}' Orca said {spoken()}, not {lines}")
        heard += len(lines)
    subprocess.run(["xdotool", "key", "alt+r"], env=env, check=True)
    program.wait(60) == 0 or fail(f"the program ended with status {program.returncode}")
except (OSError, subprocess.SubprocessError) as error:
    fail(f"{type(error).__name__}: {error}")
finally:
    for process in others:
        process.kill()
        process.wait()
