#pragma once

#include <QString>
#include <QStringView>

// The rules of the card window's fields that do not need a window.

// What the web box holds on a new card, and after it was left empty.
inline constexpr QStringView kWebPredefinito = u"http://";

// The web address as the box holds it after the user leaves it: "http://" for a text that is empty once
// trimmed; the text unchanged when it begins with "http://", "ftp://" or "https://" (case-sensitive, on the
// untrimmed text); otherwise "http://" followed by the trimmed text.
QString completaIndirizzoWeb(const QString& testo);

// What "Vai" hands the desktop, trimmed: the address completed as above, since the completion may not have
// run yet (a card saved without leaving the box keeps "www.esempio.it"). A text that names a scheme of its
// own is not completed: it is handed on when the scheme is http, https or ftp in any letter case, and
// otherwise ("file:", "javascript:", "mailto:", "smb:") the result is empty: nothing is opened.
QString indirizzoWebDaAprire(const QString& testo);

// What "Invia" hands the desktop: "mailto:" and the address without the blanks, control characters and
// invisible format characters (such as the zero-width space) that typing or a paste can put around it.
QString indirizzoEmailDaAprire(const QString& testo);
