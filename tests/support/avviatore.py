#!/usr/bin/env python3
"""Starts the Linux programs the Windows tests need (the CardDAV servers, openssl, the misbehaving server) for a
test program running under Wine, which cannot start, watch or stop a Linux process itself.

Listens on a free port of 127.0.0.1 and prints "PORT KEY" on its first line; make test-windows hands both to the
tests as CARNETTO_AVVIATORE=PORT:KEY. Each connection runs one program:
  client -> one JSON line {"chiave", "programma", "argomenti", "ambiente", "cartella", "unito"}
            then lines "chiudi" (close the program's standard input) or "uccidi" (kill it)
  server -> frames of one type byte, a 4-byte big-endian length and the data: b"a" started (data: pid) or
            b"e" failed (data: why); b"o" output; b"x" ended (data: exit status). The connection then closes.
A connection that closes kills its program. Only the programs of PROGRAMMI are started, and only for a client
that knows the key: another user of the computer can reach the port but cannot run anything through it.
Stops when its standard input closes (make test-windows ends) or after --durata seconds.
"""
import argparse
import hmac
import json
import os
import re
import secrets
import shutil
import signal
import socket
import struct
import subprocess
import sys
import threading

PROGRAMMI = {"radicale", "xandikos", "php", "python3", "openssl"}
LIMITE_RICHIESTA = 1 << 20
avviati = set()
blocco_avviati = threading.Lock()


def uccidi(processo):
    with blocco_avviati:
        if processo in avviati:
            try:
                os.killpg(processo.pid, signal.SIGKILL)
            except OSError:
                pass


def reale(valore):
    """A Wine drive's folder by its own name: "/…/dosdevices/c:/x" is read as two paths by programs that split a
    list of files at colons (radicale's -C)."""
    valore = str(valore)
    m = re.match(r"(/.*?/dosdevices/[a-z]:)(?=/|$)", valore)
    if not m:
        return valore
    cartella = os.path.realpath(m.group(1)).rstrip("/")
    return cartella + valore[m.end():] or "/"


def frame(sock, tipo, dati, blocco):
    with blocco:
        sock.sendall(tipo + struct.pack(">I", len(dati)) + dati)


def servi(conn, chiave):
    blocco = threading.Lock()
    with conn:
        f = conn.makefile("rb")
        riga = f.readline(LIMITE_RICHIESTA)
        try:
            richiesta = json.loads(riga)
            if not hmac.compare_digest(str(richiesta.get("chiave", "")).encode(), chiave.encode()):
                return
            nome = richiesta["programma"]
            percorso = shutil.which(nome) if nome in PROGRAMMI else None
            if not percorso:
                frame(conn, b"e", ("programma non disponibile: %s" % nome).encode(), blocco)
                return
            ambiente = dict(os.environ)
            ambiente.update({str(k): reale(v) for k, v in richiesta.get("ambiente", {}).items()})
            processo = subprocess.Popen(
                [percorso] + [reale(a) for a in richiesta.get("argomenti", [])],
                cwd=reale(richiesta.get("cartella") or "") or None, env=ambiente, stdin=subprocess.PIPE,
                stdout=subprocess.PIPE,
                stderr=subprocess.STDOUT if richiesta.get("unito", True) else subprocess.DEVNULL,
                start_new_session=True)
            with blocco_avviati:
                avviati.add(processo)
        except (ValueError, KeyError, TypeError, OSError) as e:
            try:
                frame(conn, b"e", str(e).encode(), blocco)
            except OSError:
                pass
            return
        frame(conn, b"a", str(processo.pid).encode(), blocco)

        def comandi():
            # The client's orders; its going away kills the program.
            for riga in iter(lambda: f.readline(64), b""):
                if riga.strip() == b"chiudi":
                    try:
                        processo.stdin.close()
                    except OSError:
                        pass
                elif riga.strip() == b"uccidi":
                    break
            uccidi(processo)

        threading.Thread(target=comandi, daemon=True).start()
        try:
            for dati in iter(lambda: processo.stdout.read1(65536), b""):
                frame(conn, b"o", dati, blocco)
        except OSError:
            pass
        codice = processo.wait()
        with blocco_avviati:
            avviati.discard(processo)
        try:
            frame(conn, b"x", str(codice).encode(), blocco)
            conn.shutdown(socket.SHUT_WR)
        except OSError:
            pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--durata", type=int, default=3600)
    args = parser.parse_args()
    chiave = secrets.token_hex(16)
    ascolto = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    ascolto.bind(("127.0.0.1", 0))
    ascolto.listen(16)
    print(ascolto.getsockname()[1], chiave, flush=True)

    def fine():
        # Nothing it started outlives it.
        for processo in list(avviati):
            uccidi(processo)
        os._exit(0)

    threading.Thread(target=lambda: (sys.stdin.read(), fine()), daemon=True).start()
    threading.Timer(args.durata, fine).start()
    while True:
        conn, _ = ascolto.accept()
        threading.Thread(target=servi, args=(conn, chiave), daemon=True).start()


if __name__ == "__main__":
    main()
