#include "app/TfrmHelpForm.h"

#include "ui/Pictures.h"
#include "ui/WindowFrame.h"

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

TfrmHelpForm::TfrmHelpForm(const QString&, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmHelpForm"));
    applyFrame(this, {.caption = QStringLiteral(" Guida in linea"),
                      .clientSize = QSize(561, 459),
                      .background = WindowFrame::navy()});

    decorationPicture(this, QStringLiteral("imgLogo"), QStringLiteral("help_logo"))->setGeometry(8, 8, 543, 42);

    panTitle = new QLabel(QStringLiteral("Titolo argomento guida"), this);
    panTitle->setObjectName(QStringLiteral("panTitle"));
    panTitle->setGeometry(8, 56, 541, 25);
    panTitle->setAlignment(Qt::AlignCenter);
    panTitle->setFont(verdana(10));
    panTitle->setAutoFillBackground(true);
    QPalette titlePalette = panTitle->palette();
    titlePalette.setColor(QPalette::Window, Qt::black);
    titlePalette.setColor(QPalette::WindowText, Qt::white);
    panTitle->setPalette(titlePalette);

    auto* panContainer = new QFrame(this);
    panContainer->setObjectName(QStringLiteral("panContainer"));
    panContainer->setGeometry(8, 88, 541, 325);

    memTopic = new QPlainTextEdit(QStringLiteral("memTopic"), panContainer);
    memTopic->setObjectName(QStringLiteral("memTopic"));
    memTopic->setAccessibleName(QStringLiteral("Testo della guida"));
    memTopic->setGeometry(8, 8, 525, 309);
    memTopic->setFrameStyle(QFrame::NoFrame);
    memTopic->setReadOnly(true);
    memTopic->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memTopic->setWordWrapMode(QTextOption::WordWrap);
    memTopic->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memTopic->setFont(verdana(10));
    QPalette textPalette = memTopic->palette();
    textPalette.setColor(QPalette::Base, WindowFrame::navy());
    textPalette.setColor(QPalette::Text, Qt::white);
    memTopic->setPalette(textPalette);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(468, 420, 81, 25);
    cmdOK->setCursor(Qt::PointingHandCursor);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    setTabOrder(cmdOK, memTopic);
    cmdOK->setFocus();
}

void TfrmHelpForm::showTopic(const HelpTopic& topic)
{
    panTitle->setText(topic.title);
    // The stored text keeps its CR LF pairs; the box shows each pair as one line break.
    memTopic->setPlainText(topic.text().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    memTopic->moveCursor(QTextCursor::Start);
    cmdOK->setFocus();
    exec();
}
