#include "ui/HintLine.h"

#include "ui/HoverHints.h"
#include "ui/ValueLabel.h"
#include "ui/WindowFrame.h"

#include <QLabel>

QLabel* createHintLine(QWidget* window)
{
    auto* line = new QLabel(window);
    line->setObjectName(QStringLiteral("panInfo"));
    showsValue(line, QStringLiteral("Suggerimento"));
    line->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    line->setLineWidth(2);
    line->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    line->setGeometry(0, window->height() - 26, window->width(), 26);
    line->setFont(verdana(8));
    setTextColour(line, HoverHints::black());
    return line;
}
