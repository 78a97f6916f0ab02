#include "ui/HintLine.h"

#include "ui/WindowFrame.h"

#include <QLabel>

QLabel* createHintLine(QWidget* window)
{
    auto* line = new QLabel(window);
    line->setObjectName(QStringLiteral("panInfo"));
    line->setAccessibleName(QStringLiteral("Suggerimento"));
    line->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    line->setLineWidth(2);
    line->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    line->setGeometry(0, window->height() - 26, window->width(), 26);
    line->setFont(verdana(8));
    return line;
}
