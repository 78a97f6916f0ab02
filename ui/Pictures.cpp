#include "ui/Pictures.h"

#include <QFile>
#include <QLabel>

QPixmap loadPicture(const QString& name)
{
    for (const char* extension : {".png", ".jpg", ".bmp"}) {
        const QString path = QStringLiteral(":/images/") + name + QLatin1StringView(extension);
        if (QFile::exists(path))
            return QPixmap(path);
    }
    return {};
}

QLabel* decorationPicture(QWidget* parent, const QString& objectName, const QString& pictureName)
{
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    const QPixmap pixmap = loadPicture(pictureName);
    label->setPixmap(pixmap);
    label->resize(pixmap.size());
    return label;
}
