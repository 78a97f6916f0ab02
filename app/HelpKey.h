#pragma once

#include <QObject>

// F1 anywhere shows the built-in help topic that fits the window the key was pressed in: the card and
// search windows the card topic, the export window its own, every other window the main topic. The
// windows' help-context numbers choose the topic; the help file itself is only named, never read.
class HelpKey : public QObject
{
    Q_OBJECT

public:
    explicit HelpKey(QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
