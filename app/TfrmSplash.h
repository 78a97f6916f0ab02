#pragma once

#include "app/SplashAnimation.h"

#include <QDialog>
#include <QTimer>

#include <memory>

// The credits window: the maker's credits with five flags flying over them. The animation runs from
// creation to the end of the run, shown or not; any mouse button released on the window opens the maker's
// web site and closes it. Creating it also sets the application help file.
class TfrmSplash : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmSplash(const QString& appDir, QWidget* parent = nullptr);

    SplashAnimation& animation() { return *m_animation; }

    QTimer* Timer1;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void FormCreate();
    void FormPaint(const QRegion& region);
    void Timer1Timer();
    void FormMouseUp();

    QString m_appDir;
    std::unique_ptr<SplashAnimation> m_animation;
};
