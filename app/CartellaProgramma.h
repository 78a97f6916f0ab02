#pragma once

#include <QString>

// The folder of the program file that is running: the archive lives there, and in the portable folder so do Qt's
// plugins and translations. `argv0` is main()'s argv[0].
//
// Qt's applicationDirPath() follows /proc/self/exe, which names the system's loader when the program was started
// through it (`/lib64/ld-linux-x86-64.so.2 .../Carnetto`, the one way to start it from a stick whose files
// cannot be executed). The file the kernel mapped as the main program is what is really running: the answer is
// argv[0]'s folder when argv[0] names that very file (the path as the person gave it, and the one the loader took
// $ORIGIN from), the folder of the mapped file otherwise (argv[0] is whatever the starter chose to pass).
QString cartellaProgramma(const char* argv0);

// Where the qt.conf of `cartella` puts Qt's plugins and translations, as Qt would read it; empty when the folder
// holds no qt.conf (a build tree, where the system's Qt serves).
struct PercorsiQt
{
    QString plugins;
    QString traduzioni;
};
PercorsiQt percorsiQt(const QString& cartella);

// Qt reads qt.conf only beside /proc/self/exe: the plugins the program's own qt.conf names are handed to Qt here,
// before the application object exists (it loads the platform plugin), and they replace Qt's built-in folder, so
// that a different Qt installed on the machine never lends its plugins.
void usaPluginDellaCartella(const QString& cartella);
