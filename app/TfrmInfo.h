#pragma once

#include <QDialog>

class ActiveLabel;
class QGroupBox;
class QLabel;
class QPushButton;

// The About window: the program's information artwork and two links, one that writes an e-mail to the
// maker and one that opens the maker's web site. A link label is navy at rest and red under the pointer.
class TfrmInfo : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmInfo(const QString& appDir, QWidget* parent = nullptr);

    static QColor linkColour();  // navy, at rest
    static QColor hoverColour(); // red, under the pointer

    QGroupBox* grpInfo;
    QWidget* shpFoto;
    QWidget* shpLogo;
    QLabel* imgAutore;
    QLabel* imgLogo;
    ActiveLabel* imgEmail;
    ActiveLabel* lblEmail;
    ActiveLabel* imgWeb;
    ActiveLabel* lblWeb;
    QPushButton* cmdOK;

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void imgEmailMouseUp();
    void imgWebMouseUp();
    void imgEmailMouseMove();
    void imgWebMouseMove();
    void FormMouseMove();
    void cmdOKClick();
};
