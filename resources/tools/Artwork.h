// The artwork generator's picture sets, one per group of windows. Each writes its pictures into
// `folder` and returns false if any of them could not be written.
// Regenerate with `cmake --build build --target artwork`.
#pragma once

#include <QString>

namespace art {

bool drawMenuArtwork(const QString& folder);
bool drawCardArtwork(const QString& folder);
bool drawExportBackupHelpArtwork(const QString& folder);
bool drawCreditsInfoArtwork(const QString& folder);

} // namespace art
