#pragma once

#include <QPixmap>
#include <QString>

// The artwork compiled into the program, by name without extension (":/images/<name>.png|jpg|bmp").
// A missing picture gives a null pixmap, never a failure.
QPixmap loadPicture(const QString& name);
