#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target beside this script. Run again after changing it.

The scoperti/ folders are not written here: they hold inputs the fuzzer found that reach code the seeds do not
(`-merge=1 -use_counters=0` over a long run), kept so that every build replays them too."""
import os

CAP = [50, 50, 50, 120, 50, 5, 50, 50, 30, 30, 30, 120, 220, 16, 11, 250]
SIZE = sum(c + 1 for c in CAP)
assert SIZE == 1148


def record(texts, fill=b"\0", lengths=None):
    out = bytearray()
    for i, cap in enumerate(CAP):
        t = texts[i] if i < len(texts) else b""
        t = t[:cap]
        n = len(t) if lengths is None else lengths[i]
        out += bytes([n]) + t + fill * (cap - len(t))
    assert len(out) == SIZE
    return bytes(out)


ROSSI = [b"Rossi", b"Mario", b"Rossi & C. s.r.l.", b"Via Roma, 1", b"Milano", b"20100", b"MI", b"Italia",
         b"02 1234567", b"02 7654321", b"333 1234567", b"mario@rossi.it", b"www.rossi.it", b"RSSMRA80A01F205X",
         b"01234567890", b"Cliente dal 1999; \"buono\"\r\nseconda riga"]
ACCENTI = [b"  Citt\xe0  ", b"\tNiccol\xf2\t", b"Caff\xe8 \x80 Euro", b"", b"Forl\xec", b"", b"", b"",
           b"", b"", b"", b"", b"", b"", b"", b"\xa0nota\xa0"]
PIENO = [b"x" * c for c in CAP]
BINARIO = bytes((i * 37 + 11) % 256 for i in range(SIZE))

archivi = {
    "vuoto": b"",
    "una_scheda": record(ROSSI),
    "tre_schede": record(ROSSI) + record(ACCENTI) + record(PIENO, fill=b"\xff"),
    "lunghezze_oltre": record(PIENO, lengths=[255] * 16),
    "lunghezze_zero": record(PIENO, lengths=[0] * 16),
    "coda_incompleta": record(ROSSI) + record(ACCENTI)[:600],
    "meno_di_un_record": record(ROSSI)[:1147],
    "binario": BINARIO,
    "controlli": record([bytes(range(1, 33)) * 2] * 16),
}
riga = {k: v[:SIZE] for k, v in archivi.items() if k in ("una_scheda", "lunghezze_oltre", "binario", "controlli")}
riga["corto"] = b"\x05Rossi"

vcard = {
    "v40": b"BEGIN:VCARD\r\nVERSION:4.0\r\nN:Rossi;Mario;;;\r\nFN:Mario Rossi\r\nORG:Rossi & C.\r\n"
           b"ADR;TYPE=work:;;Via Roma\\, 1;Milano;MI;20100;Italia\r\nTEL;TYPE=voice:02 1234567\r\n"
           b"TEL;TYPE=fax:02 7654321\r\nTEL;TYPE=cell:333 1234567\r\nEMAIL:mario@rossi.it\r\n"
           b"URL:www.rossi.it\r\nNOTE:Una nota molto lunga che deve essere piegata a settantacinque ottetti\r\n"
           b"  per riga\\, con virgole e \\n a capo\r\nX-CODICE-FISCALE:RSSMRA80A01F205X\r\n"
           b"X-PARTITA-IVA:01234567890\r\nEND:VCARD\r\n",
    "v30": b"BEGIN:VCARD\nVERSION:3.0\nN:Bianchi;Luca\nFN:Luca Bianchi\nTEL;TYPE=WORK,VOICE:06 555\n"
           b"EMAIL;TYPE=INTERNET:luca@example.org\nADR;TYPE=WORK:;;Piazza \xc3\xa8;Roma;RM;00100;IT\nEND:VCARD\n"
           b"BEGIN:VCARD\nVERSION:3.0\nFN:Solo Nome\nEND:VCARD\n",
    "v21_qp": b"BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Citt=C3=A0;Niccol=C3=B2\r\n"
              b"TEL;CELL:333\r\nNOTE;ENCODING=QUOTED-PRINTABLE:riga uno=0D=0A=\r\nriga due=\r\n"
              b"END:VCARD\r\n",
    "v21_latin1": b"BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=ISO-8859-1:Caff\xe8;\r\nTEL;FAX:1\r\nEND:VCARD\r\n",
    "troncata": b"BEGIN:VCARD\r\nVERSION:4.0\r\nN:Rossi;Mario;;;\r\nFN:Mario",
    "vuota": b"BEGIN:VCARD\r\nVERSION:4.0\r\nEND:VCARD\r\n",
    "non_vcard": b"Cognome,Nome\r\nRossi,Mario\r\n",
    "bom_utf8": b"\xef\xbb\xbfBEGIN:VCARD\r\nVERSION:4.0\r\nFN:\xe2\x82\xac \xf0\x9f\x98\x80 Emoji\r\nEND:VCARD\r\n",
    "lunga": b"BEGIN:VCARD\r\nVERSION:4.0\r\nNOTE:" + b"a" * 400 + b"\r\nN:" + b"b" * 80 + b"\r\nEND:VCARD\r\n",
    "annidata": b"BEGIN:VCARD\r\nBEGIN:VCARD\r\nFN:x\r\nEND:VCARD\r\nEND:VCARD\r\n",
    "binario": BINARIO[:300],
}

MS = b'<?xml version="1.0" encoding="utf-8"?><d:multistatus xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:carddav">'
OK = b"<d:status>HTTP/1.1 200 OK</d:status>"
NO = b"<d:status>HTTP/1.1 404 Not Found</d:status>"
DATI = b"<c:address-data>BEGIN:VCARD\r\nFN:x\r\nEND:VCARD\r\n</c:address-data>"
multistatus = {
    "multiget": MS + b"<d:response><d:href>/ab/a.vcf</d:href><d:propstat><d:prop><d:getetag>\"1\"</d:getetag>" + DATI +
                b"</d:prop>" + OK + b"</d:propstat></d:response><d:response><d:href>/ab/b.vcf</d:href>" + NO +
                b"</d:response></d:multistatus>",
    "propstat_404_primo": MS + b"<d:response><d:href>/ab/a%40b.vcf</d:href><d:propstat><d:prop><d:x/></d:prop>" + NO +
                          b"</d:propstat><d:propstat><d:prop>" + DATI + b"</d:prop>" + OK +
                          b"</d:propstat></d:response></d:multistatus>",
    "fuori": MS + b"<d:response><d:href>/ab/../altro/x.vcf</d:href><d:propstat><d:prop>" + DATI + b"</d:prop>" + OK +
             b"</d:propstat></d:response><d:response><d:href>https://altro:8443/ab/%2e%2e/y.vcf</d:href>" + NO +
             b"</d:response></d:multistatus>",
    "sync_collection": MS + b"<d:response><d:href>/ab/</d:href><d:status>HTTP/1.1 507 Insufficient Storage</d:status>"
                       b"</d:response><d:sync-token>http://x/token/5</d:sync-token></d:multistatus>",
    "scoperta": MS + b"<d:response><d:href>/p/</d:href><d:propstat><d:prop><d:current-user-principal><d:href>/p/u/"
                b"</d:href></d:current-user-principal><c:addressbook-home-set><d:href>/ab/</d:href>"
                b"</c:addressbook-home-set><d:resourcetype><d:collection/><c:addressbook/></d:resourcetype>"
                b"<d:supported-report-set><d:supported-report><d:report><d:sync-collection/></d:report>"
                b"</d:supported-report></d:supported-report-set></d:prop>" + OK + b"</d:propstat></d:response>"
                b"</d:multistatus>",
    "troncato": MS + b"<d:response><d:href>/ab/a.vcf</d:href><d:propstat><d:prop><c:address-data>BEGIN",
    "non_xml": b"HTTP/1.1 200 OK\r\n\r\n<html>",
    "entita": b'<?xml version="1.0"?><!DOCTYPE d [<!ENTITY a "aaaaaaaa">]><d:multistatus xmlns:d="DAV:">'
              b"<d:response><d:href>&a;&a;</d:href></d:response></d:multistatus>",
}

qui = os.path.dirname(os.path.abspath(__file__))
for target, semi in {"archivio": archivi, "ripristino": archivi, "griglia": archivi,
                     "rigalista": riga, "vcard": vcard, "multistatus": multistatus}.items():
    os.makedirs(os.path.join(qui, target), exist_ok=True)
    for nome, byte in semi.items():
        with open(os.path.join(qui, target, nome), "wb") as f:
            f.write(byte)
