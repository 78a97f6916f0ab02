#!/usr/bin/env python3
"""A small CardDAV server that misbehaves on request, for the synchronisation tests.

It serves one address book, /ab/, from memory on 127.0.0.1 (port 0: the first line of standard output says
which), and a second listener on another port that only records the Authorization headers it is sent. It stops
by itself after --durata seconds, and as soon as its standard input closes (the test that started it is gone).

Control, for the test's own fixture (tests/support/ServerOstile.h):
    POST /_modo      body: the names of the modes to turn on, separated by spaces (empty: well-behaved)
    POST /_azzera    empties the address book, the mode, the logs
    GET  /_richieste one line per request received: "METHOD path"
    GET  /_altrove   the Authorization headers the second listener received, one a line
Every other request needs "utente"/"segreta" (Basic, or Digest in mode `digest`).

A new mode is a name in MODI and a test of `self.modo(...)` where the behaviour changes.
"""

import argparse
import hashlib
import os
import re
import secrets
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import quote, unquote, urlsplit

UTENTE = "utente"
PASSWORD = "segreta"
REALM = "Carnetto"
ENORME = 80 * 1024 * 1024  # what risposta-enorme sends at most: beyond any sane limit of the client

MODI = {
    "propstat-404-primo",    # multiget: a 404 propstat for an unknown property before the 200 with the vCard
    "href-decodificato",     # listing percent-encodes '@' (%40), multiget answers with it decoded
    "href-fuori",            # listing adds /ab/../altro/x.vcf, which the server also serves
    "redirect-altra-porta",  # every request for /ab/ is sent (307) to the second listener
    "rubrica-altrove",       # PROPFIND names the address book with an absolute href on the second listener
    "risposta-enorme",       # PROPFIND and REPORT answers go on streaming past 64 MB
    "goccia",                # PROPFIND and REPORT answers come one byte every two seconds
    "vcard-enorme",          # multiget: the first href asked for gets its vCard grown to 2 MB
    "digest",                # only Digest authentication (SHA-256 and MD5, qop=auth)
    "digest-stale",          # with digest: each nonce serves one request, then is refused as stale=true
    "senza-etag",            # no getetag in any answer and no ETag header
    "412-sempre",            # a PUT with If-Match is refused with 412
    "vcard-illeggibile",     # multiget: the first href asked for gets garbage without END:VCARD (valid XML)
}


class Stato:
    def __init__(self):
        self.lock = threading.Lock()
        self.azzera()

    def azzera(self):
        self.contatti = {}  # name (decoded) -> (vcard bytes, etag)
        self.modi = set()
        self.richieste = []
        self.altrove = []
        self.nonce = set()
        self.usati = set()


STATO = Stato()
ALTRA_PORTA = [0]


def etag_di(dati):
    return '"' + hashlib.sha1(dati).hexdigest()[:16] + '"'


def xml(testo):
    return testo.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def h(algoritmo, testo):
    nome = "sha256" if algoritmo.upper().startswith("SHA-256") else "md5"
    return hashlib.new(nome, testo.encode()).hexdigest()


class Gestore(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def modo(self, nome):
        return nome in STATO.modi

    # ---- plumbing

    def corpo(self):
        n = int(self.headers.get("Content-Length") or 0)
        return self.rfile.read(min(n, 16 * 1024 * 1024)) if n > 0 else b""

    def rispondi(self, stato, corpo=b"", intestazioni=()):
        self.send_response(stato)
        for k, v in intestazioni:
            self.send_header(k, v)
        self.send_header("Content-Length", str(len(corpo)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(corpo)

    def multistatus(self, dentro):
        corpo = ('<?xml version="1.0" encoding="utf-8"?>\n<d:multistatus xmlns:d="DAV:" '
                 'xmlns:c="urn:ietf:params:xml:ns:carddav">' + dentro + "</d:multistatus>").encode()
        if self.modo("risposta-enorme"):
            return self.enorme()
        if self.modo("goccia"):
            return self.goccia(corpo)
        self.rispondi(207, corpo, [("Content-Type", "application/xml; charset=utf-8")])

    def enorme(self):
        # No Content-Length: the client learns the size only by reading.
        self.send_response(207)
        self.send_header("Content-Type", "application/xml; charset=utf-8")
        self.send_header("Connection", "close")
        self.end_headers()
        pezzo = b" " * (1024 * 1024)
        try:
            for _ in range(ENORME // len(pezzo)):
                self.wfile.write(pezzo)
        except OSError:
            pass
        self.close_connection = True

    def goccia(self, corpo):
        self.send_response(207)
        self.send_header("Content-Type", "application/xml; charset=utf-8")
        self.send_header("Content-Length", str(len(corpo)))
        self.end_headers()
        try:
            for b in corpo[:60]:
                self.wfile.write(bytes([b]))
                self.wfile.flush()
                time.sleep(2)
        except OSError:
            pass
        self.close_connection = True

    # ---- authentication

    def autorizzato(self):
        self.stale = False
        valore = self.headers.get("Authorization", "")
        if self.modo("digest") or self.modo("digest-stale"):
            return self.digest_valido(valore)
        import base64
        atteso = "Basic " + base64.b64encode(f"{UTENTE}:{PASSWORD}".encode()).decode()
        return valore == atteso

    def digest_valido(self, valore):
        if not valore.startswith("Digest "):
            return False
        p = dict((k, v1 or v2) for k, v1, v2 in re.findall(r'(\w+)=(?:"([^"]*)"|([^\s,]*))', valore[7:]))
        algoritmo = p.get("algorithm", "MD5")
        if p.get("username") != UTENTE or p.get("realm") != REALM or p.get("nonce") not in STATO.nonce:
            return False
        if self.modo("digest-stale") and p["nonce"] in STATO.usati:
            self.stale = True
            return False
        if p.get("qop") != "auth" or not p.get("nc") or not p.get("cnonce"):
            return False
        ha1 = h(algoritmo, f"{UTENTE}:{REALM}:{PASSWORD}")
        ha2 = h(algoritmo, f"{self.command}:{p.get('uri')}")
        atteso = h(algoritmo, f"{ha1}:{p['nonce']}:{p['nc']}:{p['cnonce']}:auth:{ha2}")
        valida = p.get("response") == atteso and p.get("uri") == self.path
        if valida:
            STATO.usati.add(p["nonce"])
        return valida

    def chiedi_password(self):
        if self.modo("digest") or self.modo("digest-stale"):
            nonce = secrets.token_hex(16)
            STATO.nonce.add(nonce)
            stale = ", stale=true" if getattr(self, "stale", False) else ""
            sfide = [("WWW-Authenticate", f'Digest realm="{REALM}", qop="auth", algorithm={a}, nonce="{nonce}", '
                                          f'opaque="aa"{stale}') for a in ("MD5", "SHA-256")]
        else:
            sfide = [("WWW-Authenticate", f'Basic realm="{REALM}"')]
        self.rispondi(401, b"", sfide)

    # ---- requests

    def gestisci(self):
        with STATO.lock:
            STATO.richieste.append(f"{self.command} {self.path}")
        percorso = urlsplit(self.path).path
        if percorso.startswith("/_"):
            return self.controllo(percorso)
        if self.modo("redirect-altra-porta") and percorso.startswith("/ab/"):
            return self.rispondi(307, b"", [("Location", f"http://127.0.0.1:{ALTRA_PORTA[0]}{percorso}")])
        if not self.autorizzato():
            return self.chiedi_password()
        metodo = getattr(self, "dav_" + self.command, None)
        if metodo is None:
            return self.rispondi(405)
        metodo(unquote(percorso))

    def controllo(self, percorso):
        corpo = self.corpo()
        with STATO.lock:
            if percorso == "/_modo":
                nomi = set(corpo.decode().split())
                if not nomi <= MODI:
                    return self.rispondi(400, ("modi sconosciuti: " + " ".join(nomi - MODI)).encode())
                STATO.modi = nomi
            elif percorso == "/_azzera":
                STATO.azzera()
            elif percorso == "/_richieste":
                return self.rispondi(200, "\n".join(STATO.richieste).encode())
            elif percorso == "/_altrove":
                return self.rispondi(200, "\n".join(STATO.altrove).encode())
            else:
                return self.rispondi(404)
        self.rispondi(204)

    def nome(self, percorso):
        """The contact a decoded path names, or None."""
        if percorso.startswith("/ab/") and "/" not in percorso[4:] and percorso != "/ab/":
            return percorso[4:]
        if percorso == "/altro/x.vcf" and self.modo("href-fuori"):
            return "../altro/x.vcf"
        return None

    def propstat_rubrica(self):
        href = f"http://127.0.0.1:{ALTRA_PORTA[0]}/ab/" if self.modo("rubrica-altrove") else "/ab/"
        return (f"<d:response><d:href>{href}</d:href><d:propstat><d:prop><d:resourcetype><d:collection/>"
                "<c:addressbook/></d:resourcetype><d:displayname>Ostile</d:displayname><d:supported-report-set>"
                "<d:supported-report><d:report><c:addressbook-multiget/></d:report></d:supported-report>"
                "</d:supported-report-set></d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>")

    def voce(self, href, etag):
        prop = "" if self.modo("senza-etag") else f"<d:getetag>{xml(etag)}</d:getetag>"
        return (f"<d:response><d:href>{xml(href)}</d:href><d:propstat><d:prop><d:resourcetype/>{prop}</d:prop>"
                "<d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>")

    def dav_PROPFIND(self, percorso):
        self.corpo()
        if percorso == "/ab/" or percorso == "/ab":
            dentro = self.propstat_rubrica()
            if self.headers.get("Depth", "1") != "0":
                for nome, (_, etag) in sorted(STATO.contatti.items()):
                    dentro += self.voce("/ab/" + quote(nome, safe=""), etag)
                if self.modo("href-fuori"):
                    dentro += self.voce("/ab/../altro/x.vcf", '"fuori"')
            return self.multistatus(dentro)
        nome = self.nome(percorso)
        if nome in STATO.contatti:
            return self.multistatus(self.voce(self.path, STATO.contatti[nome][1]))
        self.rispondi(404)

    def dav_REPORT(self, percorso):
        richiesta = self.corpo().decode("utf-8", "replace")
        if "addressbook-multiget" not in richiesta:
            return self.rispondi(403)
        dentro = ""
        for i, href in enumerate(re.findall(r"<(?:\w+:)?href>([^<]*)</(?:\w+:)?href>", richiesta)):
            href = href.replace("&amp;", "&")
            nome = self.nome(unquote(href))
            if nome is None or (nome not in STATO.contatti and nome != "../altro/x.vcf"):
                dentro += (f"<d:response><d:href>{xml(href)}</d:href><d:status>HTTP/1.1 404 Not Found</d:status>"
                           "</d:response>")
                continue
            vcard, etag = STATO.contatti.get(nome, (b"BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Fuori\r\nN:Fuori;;;;\r\n"
                                                    b"UID:fuori\r\nEND:VCARD\r\n", '"fuori"'))
            if i == 0 and self.modo("vcard-enorme"):
                vcard = vcard.replace(b"END:VCARD", b"NOTE:" + b"x" * (2 * 1024 * 1024) + b"\r\nEND:VCARD")
            if i == 0 and self.modo("vcard-illeggibile"):
                vcard = b"BEGIN:VCARD\r\nVERSION:3.0\r\n;;;:::\r\nFN rotto senza due punti\r\nN:;;"
            if self.modo("href-decodificato"):
                href = unquote(href)
            prima = ""
            if self.modo("propstat-404-primo"):
                prima = ("<d:propstat><d:prop><d:getcontentlanguage/></d:prop>"
                         "<d:status>HTTP/1.1 404 Not Found</d:status></d:propstat>")
            etagxml = "" if self.modo("senza-etag") else f"<d:getetag>{xml(etag)}</d:getetag>"
            dentro += (f"<d:response><d:href>{xml(href)}</d:href>{prima}<d:propstat><d:prop>{etagxml}"
                       f"<c:address-data>{xml(vcard.decode('utf-8', 'replace'))}</c:address-data></d:prop>"
                       "<d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>")
        self.multistatus(dentro)

    def intestazioni_etag(self, etag):
        return [] if self.modo("senza-etag") else [("ETag", etag)]

    def dav_GET(self, percorso):
        nome = self.nome(percorso)
        if nome not in STATO.contatti:
            return self.rispondi(404)
        vcard, etag = STATO.contatti[nome]
        self.rispondi(200, vcard, [("Content-Type", "text/vcard")] + self.intestazioni_etag(etag))

    def dav_PUT(self, percorso):
        dati = self.corpo()
        nome = self.nome(percorso)
        if nome is None:
            return self.rispondi(403)
        se_uguale = self.headers.get("If-Match")
        with STATO.lock:
            esiste = nome in STATO.contatti
            if se_uguale and (self.modo("412-sempre") or not esiste or STATO.contatti[nome][1] != se_uguale):
                return self.rispondi(412)
            if self.headers.get("If-None-Match") == "*" and esiste:
                return self.rispondi(412)
            etag = etag_di(dati)
            STATO.contatti[nome] = (dati, etag)
        self.rispondi(204 if esiste else 201, b"", self.intestazioni_etag(etag))

    def dav_DELETE(self, percorso):
        nome = self.nome(percorso)
        se_uguale = self.headers.get("If-Match")
        with STATO.lock:
            if nome not in STATO.contatti:
                return self.rispondi(404)
            if se_uguale and STATO.contatti[nome][1] != se_uguale:
                return self.rispondi(412)
            del STATO.contatti[nome]
        self.rispondi(204)

    do_GET = do_PUT = do_DELETE = do_PROPFIND = do_REPORT = do_POST = do_HEAD = gestisci


class Altrove(BaseHTTPRequestHandler):
    """The second listener: another port of this computer, where no credentials must ever arrive."""
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def registra(self):
        with STATO.lock:
            STATO.altrove.append(self.headers.get("Authorization", ""))
        self.send_response(404)
        self.send_header("Content-Length", "0")
        self.end_headers()

    do_GET = do_PUT = do_DELETE = do_PROPFIND = do_REPORT = do_POST = registra


def main():
    argomenti = argparse.ArgumentParser()
    argomenti.add_argument("--durata", type=float, default=600)
    durata = argomenti.parse_args().durata

    altrove = ThreadingHTTPServer(("127.0.0.1", 0), Altrove)
    altrove.daemon_threads = True
    ALTRA_PORTA[0] = altrove.server_address[1]
    server = ThreadingHTTPServer(("127.0.0.1", 0), Gestore)
    server.daemon_threads = True
    threading.Thread(target=altrove.serve_forever, daemon=True).start()

    def custode():
        # The parent closes our stdin when it stops or dies.
        try:
            while sys.stdin.buffer.read(1024):
                pass
        except OSError:
            pass
        os._exit(0)

    threading.Thread(target=custode, daemon=True).start()
    threading.Timer(durata, lambda: os._exit(0)).start()
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
