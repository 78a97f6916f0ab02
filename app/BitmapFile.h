#pragma once

#include <QImage>
#include <QString>

// Reads a picture keeping the depth it was stored with, where QImage alone would widen a 24-bit bitmap to
// 32 bits: a 24-bit bitmap (and a colour JPEG) comes back as Format_BGR888, an 8-bit one as Format_Indexed8,
// a 1-bit one as Format_Mono, a 32-bit one in a 32-bit format. A missing file gives a null image.
QImage readBitmap(const QString& path);
// The same for a bitmap held in memory.
QImage bitmapFromData(const QByteArray& data);
