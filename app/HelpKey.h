#pragma once

#include <QObject>

class TfrmHelpForm;

// F1 anywhere shows the built-in help topic that the window the key was pressed in declares (the card
// and search windows the card topic, the export window its own, every other window the main topic).
// The help file itself is only named, never read.
class HelpKey : public QObject
{
    Q_OBJECT

public:
    HelpKey(TfrmHelpForm* help, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TfrmHelpForm* m_help;
};
