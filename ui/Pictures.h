#pragma once

#include <QPixmap>
#include <QString>

// The artwork compiled into the program, by name without extension (":/images/<name>.png|jpg|bmp").
// A missing picture gives a null pixmap, never a failure.
QPixmap loadPicture(const QString& name);

class QLabel;
class QWidget;

// A picture that only decorates: a plain label sized to its artwork, with no cursor or action of its own.
QLabel* decorationPicture(QWidget* parent, const QString& objectName, const QString& pictureName);
