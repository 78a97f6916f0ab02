#pragma once

#include "ui/HelpContext.h"

#include <QString>
#include <QStringList>

// A help topic: a title and its paragraphs.
struct HelpTopic
{
    QString title;
    QStringList paragraphs;

    // The paragraphs joined by CR LF CR LF: one empty line between two, none before or after.
    QString text() const { return paragraphs.join(QStringLiteral("\r\n\r\n")); }
};

HelpTopic mainHelpTopic();
HelpTopic cardHelpTopic();
HelpTopic exportHelpTopic();

// The text of the topic a window declares.
HelpTopic helpTopicText(HelpTopicId id);
