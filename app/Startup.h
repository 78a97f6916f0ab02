#pragma once

#include <QString>

class QApplication;

// The program's entry after the application object exists: title, Italian texts for Qt's own dialogs,
// the ten windows over the archive in `cartella` (the program's folder), the event loop. Returns the exit code.
// A file given to open (the desktop's "Open with") is imported on the card window once the windows exist. When a
// copy of the program already runs for the same folder, this start hands the file to it instead and returns 0 at
// once, and that copy comes to the front.
int runCarnetto(QApplication& app, const QString& cartella, const QString& fileDaAprire = {});

// The absolute path of a file the program was given to open: a file:// address or a path, relative to the
// current folder.
QString percorsoDaAprire(const QString& argomento);

// The first window on screen: the main menu; or, given a file to open, the card window importing it, with the
// main menu hidden as whenever the card window is open (closing the card window shows it). The windows must
// exist (a Forms instance).
void mostraPrimaFinestra(const QString& fileDaAprire);

// Brings up the card window, in place of the main menu, and imports the vCard file into the archive there,
// asking first. The windows must exist.
void apriFileVCard(const QString& percorso);

// Loads Qt's Italian translation (Yes/No, file dialogs) whatever the system language, from the folder's qt.conf
// when `cartella` has one; without the file the program still runs, in Qt's own language.
void installItalianTranslation(QApplication& app, const QString& cartella);

// Before the application object: with no session bus of the user's to be found (neither named in
// DBUS_SESSION_BUS_ADDRESS nor at $XDG_RUNTIME_DIR/bus), the D-Bus library would start one of its own and leave
// its files in the home folder (~/.dbus) of a computer the program only passes through; the address "disabled:"
// keeps it from doing so. A bus the user has is used as before, by the screen reader's bridge among others.
void nessunBusDiSessioneAvviato();
