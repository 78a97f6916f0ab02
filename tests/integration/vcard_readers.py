"""The real program's vCard export read back by other programs' readers: python3-vobject, on which many Python
address books build, and khard, a terminal address book that keeps one card per file in a vdir folder and knows a
card by its UID. Every text typed into a card must come back whole, no card may be refused, and a second export
must give the same UIDs.

    vcard_readers.py CARNETTO

Run by Debian's own python3, which has the readers. Exits 77 (skipped) when neither reader is installed. All of it
happens in a throw-away folder, with HOME and the XDG folders inside it, so that nothing is written in the real
home; nothing here goes over the network.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import uuid

CAMPI = ["Cognome", "Nome", "Azienda", "Via", "Citta", "Cap", "Prov", "Stato", "Tel", "Fax", "Cellulare", "Email",
         "Web", "CodFisc", "Iva", "Note"]
CAPACITA = [50, 50, 50, 120, 50, 5, 50, 50, 30, 30, 30, 120, 220, 16, 11, 250]

# Every field, with the characters the escapes, the line ends and the code page are about.
COMPLETA = {
    "Cognome": "D'Àngelo", "Nome": "Niccolò", "Azienda": "Caffè Rossi, Bianchi & C.; S.n.c.",
    "Via": "Via dell'Università, 12; scala B", "Citta": "Forlì", "Cap": "47121", "Prov": "FC", "Stato": "Italia",
    "Tel": "+39 0543 123456", "Fax": "0543 654321", "Cellulare": "333 1234567", "Email": "niccolo@caffe-rossi.it",
    "Web": "https://www.caffe-rossi.it/listino;anno=2026?lingua=it&x=1&voci=caffe,te", "CodFisc": "DNGNCC80A01D704X",
    "Iva": "01234567890", "Note": "Prezzo 5 €, sconto; C:\\listini\\2026\r\nseconda riga",
}
# Cards without a name: the web field at the card window's preset, a company, a mobile number only.
SOLO_EMAIL = {"Email": "anna@esempio.it", "Web": "http://"}
SOLO_AZIENDA = {"Azienda": "Studio Bianchi", "Tel": "06 123"}
SOLO_CELLULARE = {"Cellulare": "347 7654321"}
SCHEDE = [COMPLETA, SOLO_EMAIL, SOLO_AZIENDA, SOLO_CELLULARE]

errori = []


def atteso(cosa, trovato, voluto):
    if trovato != voluto:
        errori.append(f"{cosa}: {trovato!r} instead of {voluto!r}")


def record(testi):
    out = b""
    for nome, capacita in zip(CAMPI, CAPACITA):
        byte = testi.get(nome, "").encode("cp1252")
        assert len(byte) <= capacita, nome
        out += bytes([len(byte)]) + byte + bytes(capacita - len(byte))
    return out


def esporta(carnetto, cartella, nome, env):
    percorso = os.path.join(cartella, nome)
    subprocess.run([carnetto, "--esporta-vcard", percorso], env=env, check=True, timeout=30,
                   stdout=subprocess.DEVNULL)
    with open(percorso, encoding="utf-8", newline="") as f:
        return f.read()


def schede_di(testo):
    schede = []
    for pezzo in testo.split("BEGIN:VCARD\r\n")[1:]:
        schede.append("BEGIN:VCARD\r\n" + pezzo)
    return schede


def uid_di(scheda):
    for riga in scheda.split("\r\n"):
        if riga.startswith("UID:"):
            return riga[4:]
    return None


def con_vobject(testo, uids):
    import vobject

    schede = list(vobject.readComponents(testo))
    atteso("vobject: cards", len(schede), len(SCHEDE))
    if len(schede) != len(SCHEDE):
        return
    c = schede[0]
    atteso("vobject: N", (c.n.value.family, c.n.value.given), (COMPLETA["Cognome"], COMPLETA["Nome"]))
    atteso("vobject: FN", c.fn.value, COMPLETA["Nome"] + " " + COMPLETA["Cognome"])
    atteso("vobject: ORG", c.org.value, [COMPLETA["Azienda"]])
    a = c.adr.value
    atteso("vobject: ADR", (a.street, a.city, a.region, a.code, a.country),
           tuple(COMPLETA[k] for k in ("Via", "Citta", "Prov", "Cap", "Stato")))
    telefoni = {",".join(t.params.get("TYPE", [])): t.value for t in c.contents["tel"]}
    atteso("vobject: TEL", telefoni, {"": COMPLETA["Tel"], "fax": COMPLETA["Fax"], "cell": COMPLETA["Cellulare"]})
    atteso("vobject: EMAIL", c.email.value, COMPLETA["Email"])
    atteso("vobject: URL", c.url.value, COMPLETA["Web"])
    atteso("vobject: NOTE", c.note.value, COMPLETA["Note"].replace("\r\n", "\n"))
    atteso("vobject: X-CODICE-FISCALE", c.contents["x-codice-fiscale"][0].value, COMPLETA["CodFisc"])
    atteso("vobject: X-PARTITA-IVA", c.contents["x-partita-iva"][0].value, COMPLETA["Iva"])
    atteso("vobject: FN of the nameless cards", [s.fn.value for s in schede[1:]],
           [SOLO_EMAIL["Email"], SOLO_AZIENDA["Azienda"], SOLO_CELLULARE["Cellulare"]])
    atteso("vobject: a URL on the card with the preset web field", "url" in schede[1].contents, False)
    for s, u in zip(schede, uids):
        atteso("vobject: UID", s.uid.value, u)


def con_khard(testo, cartella, env):
    from ruamel.yaml import YAML

    vdir = os.path.join(cartella, "rubrica")
    os.mkdir(vdir)
    for scheda in schede_di(testo):
        with open(os.path.join(vdir, uid_di(scheda).split(":")[-1] + ".vcf"), "w", encoding="utf-8",
                  newline="") as f:
            f.write(scheda)
    configurazione = os.path.join(cartella, "khard.conf")
    with open(configurazione, "w", encoding="utf-8") as f:
        f.write(f"[addressbooks]\n[[carnetto]]\npath = {vdir}\n"
                "[vcard]\nprivate_objects = CODICE-FISCALE, PARTITA-IVA\n")

    def khard(*argomenti):
        fatto = subprocess.run(["khard", "-c", configurazione, *argomenti], env=env, capture_output=True,
                               text=True, timeout=60)
        atteso(f"khard {' '.join(argomenti)}: exit status (stderr {fatto.stderr.strip()!r})", fatto.returncode, 0)
        # A card khard refuses ("has no UID and will not be available") is only reported on stderr.
        atteso(f"khard {' '.join(argomenti)}: messages", fatto.stderr.strip(), "")
        return fatto.stdout

    atteso("khard: cards available", len(khard("filename").split()), len(SCHEDE))
    uids = [uid_di(s) for s in schede_di(testo)]
    yaml = YAML(typ="safe")
    c = yaml.load(khard("show", "--format", "yaml", "uid:" + uids[0]))
    atteso("khard: name", (c["Formatted name"], c["First name"], c["Last name"]),
           (COMPLETA["Nome"] + " " + COMPLETA["Cognome"], COMPLETA["Nome"], COMPLETA["Cognome"]))
    atteso("khard: company", c["Organisation"], [[COMPLETA["Azienda"]]])
    atteso("khard: phones", (sorted(c["Phone"].values()), c["Phone"].get("fax"), c["Phone"].get("cell")),
           (sorted([COMPLETA["Tel"], COMPLETA["Fax"], COMPLETA["Cellulare"]]), COMPLETA["Fax"],
            COMPLETA["Cellulare"]))
    atteso("khard: e-mail", list(c["Email"].values()), [COMPLETA["Email"]])
    indirizzo = c["Address"]["work"]
    atteso("khard: address", tuple(indirizzo[k] for k in ("Street", "City", "Region", "Code", "Country")),
           tuple(COMPLETA[k] for k in ("Via", "Citta", "Prov", "Cap", "Stato")))
    atteso("khard: web page", c["Webpage"], COMPLETA["Web"])
    atteso("khard: fiscal code and VAT number", c["Private"],
           {"CODICE-FISCALE": COMPLETA["CodFisc"], "PARTITA-IVA": COMPLETA["Iva"]})
    atteso("khard: note", c["Note"], COMPLETA["Note"].replace("\r\n", "\n"))
    senza_nome = yaml.load(khard("show", "--format", "yaml", "uid:" + uids[1]))
    atteso("khard: the e-mail-only card", (senza_nome["Formatted name"], senza_nome["Webpage"]),
           (SOLO_EMAIL["Email"], None))


def main():
    carnetto = sys.argv[1]
    try:
        import vobject  # noqa: F401
        ha_vobject = True
    except ImportError:
        ha_vobject = False
    ha_khard = shutil.which("khard") is not None
    if not ha_vobject and not ha_khard:
        print("SKIP: neither python3-vobject nor khard is installed (packages.txt brings both)")
        return 77

    with tempfile.TemporaryDirectory(prefix="carnetto-vcard-") as cartella:
        casa = os.path.join(cartella, "home")
        os.mkdir(casa)
        env = dict(os.environ, HOME=casa, XDG_CONFIG_HOME=os.path.join(casa, ".config"),
                   XDG_DATA_HOME=os.path.join(casa, ".local/share"), XDG_CACHE_HOME=os.path.join(casa, ".cache"),
                   QT_QPA_PLATFORM="offscreen")
        programma = os.path.join(cartella, "bin")
        os.mkdir(programma)
        shutil.copy(carnetto, os.path.join(programma, "Carnetto"))
        with open(os.path.join(programma, "Contatti.pro"), "wb") as f:
            f.write(b"".join(record(s) for s in SCHEDE))

        testo = esporta(os.path.join(programma, "Carnetto"), cartella, "tutti.vcf", env)
        uids = [uid_di(s) for s in schede_di(testo)]
        atteso("cards exported", len(uids), len(SCHEDE))
        for u in uids:
            if u is None or not u.startswith("urn:uuid:") or uuid.UUID(u[9:]).version != 5:
                errori.append(f"UID {u!r} is not a urn:uuid: of version 5")
        atteso("UIDs all different", len(set(uids)), len(uids))
        ancora = esporta(os.path.join(programma, "Carnetto"), cartella, "ancora.vcf", env)
        atteso("UIDs of a second export", [uid_di(s) for s in schede_di(ancora)], uids)

        if errori:
            pass
        elif ha_vobject:
            con_vobject(testo, uids)
        else:
            print("SKIP: python3-vobject is not installed: the export was not read by vobject")
        if errori:
            pass
        elif ha_khard:
            con_khard(testo, cartella, env)
        else:
            print("SKIP: khard is not installed: the export was not read by khard")

    for e in errori:
        print("FAIL:", e)
    if errori:
        return 1
    print("the export was read back whole by", " and ".join(
        n for n, c in (("python3-vobject", ha_vobject), ("khard", ha_khard)) if c))
    return 0


if __name__ == "__main__":
    sys.exit(main())
