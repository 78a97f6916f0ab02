// Draws every picture of the program's windows into resources/images/.
//
// Regenerate with `cmake --build build --target artwork`, which builds this program, runs it with
// the offscreen platform and then runs make_strip.py for the animated strip. The pictures are
// committed, so a normal build never runs the generators.
//
// Usage: carnetto_artwork [-platform offscreen] <images folder>
#include "resources/tools/Artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: carnetto_artwork [-platform offscreen] <images folder>\n");
        return 2;
    }
    const QString folder = args.at(1);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
        return 1;
    }
    bool ok = art::drawMenuArtwork(folder);
    ok &= art::drawCardArtwork(folder);
    ok &= art::drawExportBackupHelpArtwork(folder);
    ok &= art::drawCreditsInfoArtwork(folder);
    return ok ? 0 : 1;
}
