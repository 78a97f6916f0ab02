#include "ui/HelpContext.h"

#include <QVariant>
#include <QWidget>

namespace {
constexpr char kProperty[] = "carnettoHelpTopic";
}

void setHelpTopic(QWidget* window, HelpTopicId topic)
{
    window->setProperty(kProperty, static_cast<int>(topic));
}

HelpTopicId helpTopic(const QWidget* window)
{
    const QVariant value = window->property(kProperty);
    return value.isValid() ? static_cast<HelpTopicId>(value.toInt()) : HelpTopicId::Main;
}
