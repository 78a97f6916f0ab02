#pragma once

#include <QLabel>

// A label that shows a value (the position of a card, the hint line): a screen reader speaks the value
// itself as the label's name and `what` as its description. Such a label carries no fixed accessible
// name, since Qt announces a new text (NameChanged) only for a label whose name is its text; to empty it,
// set an empty text (QLabel::clear() announces nothing).
inline void showsValue(QLabel* label, const QString& what)
{
    label->setAccessibleName(QString());
    label->setAccessibleDescription(what);
}
