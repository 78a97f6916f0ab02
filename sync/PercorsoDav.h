#pragma once

#include <QString>
#include <QUrl>

// How the synchronisation names a contact on the server: the path of its href, in one canonical form, so that
// "/ab/a%40b.vcf" and "/ab/a@b.vcf" are the same contact however the server spells it. Each segment is decoded
// and encoded again, leaving unencoded only the letters, digits, "-._~", the sub-delimiters and ":@"; an
// encoded "/" stays encoded. Every comparison of hrefs goes through here.

// The canonical form of an encoded path; empty when a segment is "." or ".." once decoded (which resolution
// should have removed, so a server that encodes them is trying something).
QString percorsoCanonico(const QString& percorsoCodificato);

// The canonical path of an href of an answer, resolved against the address the answer came from; empty when
// it leads to another scheme, host or port than `base`.
QString hrefCanonico(const QUrl& base, const QString& href);

// `percorso` (canonical) names something directly inside the collection whose canonical path is `raccolta`
// (with its final "/"): one more segment, not the collection itself, nothing deeper.
bool direttamenteDentro(const QString& percorso, const QString& raccolta);

// "host:port", the port written out even when it is the scheme's default: what plain-http permission is for.
QString hostPorta(const QUrl& url);
// The same scheme, host and port.
bool stessaOrigine(const QUrl& a, const QUrl& b);
// The address without user name and password, which must never be written anywhere.
QUrl senzaCredenziali(QUrl url);
