#pragma once

#include "app/HelpTopics.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The one help window: shows a topic's title and paragraphs, modally. It has no cancel button, so Esc does
// not close it (as in the check windows); OK or the close box does, and Enter on the focused OK.
class TfrmHelpForm : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmHelpForm(const QString& appDir, QWidget* parent = nullptr);

    // Sets the title and the whole text, then shows the window modally.
    void showTopic(const HelpTopic& topic);

    QLabel* panTitle;
    QPlainTextEdit* memTopic;
    QPushButton* cmdOK;
};
