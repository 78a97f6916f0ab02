#pragma once

class QApplication;

// The program's entry after the application object exists: title, Italian texts for Qt's own dialogs,
// the ten windows, the event loop. Returns the exit code.
int runCarnetto(QApplication& app);

// Loads Qt's Italian translation (Yes/No, file dialogs) whatever the system language; without the file
// the program still runs, in Qt's own language.
void installItalianTranslation(QApplication& app);
