#include "ui/Pictures.h"

#include <QFile>

QPixmap loadPicture(const QString& name)
{
    for (const char* extension : {".png", ".jpg", ".bmp"}) {
        const QString path = QStringLiteral(":/images/") + name + QLatin1StringView(extension);
        if (QFile::exists(path))
            return QPixmap(path);
    }
    return {};
}
