#include "app/BitmapFile.h"

#include <QFile>
#include <QtEndian>

namespace {

// The bits per pixel a Windows bitmap declares in its header, or 0 when the data is no bitmap.
int storedBitCount(const QByteArray& data)
{
    if (data.size() < 30 || !data.startsWith("BM"))
        return 0;
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    const quint32 headerSize = qFromLittleEndian<quint32>(bytes + 14);
    // The old OS/2 header keeps 16-bit sizes, so its bit count sits four bytes earlier.
    return headerSize == 12 ? qFromLittleEndian<quint16>(bytes + 24) : qFromLittleEndian<quint16>(bytes + 28);
}

} // namespace

QImage bitmapFromData(const QByteArray& data)
{
    const QImage image = QImage::fromData(data);
    if (image.isNull())
        return image;
    switch (storedBitCount(data)) {
    case 0: // not a bitmap: a colour picture is 24 bits deep
        if (image.format() == QImage::Format_RGB32)
            return image.convertToFormat(QImage::Format_BGR888);
        return image;
    case 8:
        return image.convertToFormat(QImage::Format_Indexed8);
    case 24:
        return image.convertToFormat(QImage::Format_BGR888);
    case 1:
        return image.convertToFormat(QImage::Format_Mono);
    case 32:
        return image.hasAlphaChannel() ? image.convertToFormat(QImage::Format_ARGB32)
                                       : image.convertToFormat(QImage::Format_RGB32);
    default:
        return image;
    }
}

QImage readBitmap(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return bitmapFromData(file.readAll());
}
