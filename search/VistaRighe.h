#pragma once

#include <QListView>

// The list view of the search window. A double click of the left button anywhere in it, on a line or on the
// empty space below the lines, is reported, since choosing acts on the selected line rather than on the one
// under the pointer.
class VistaRighe : public QListView
{
    Q_OBJECT

public:
    using QListView::QListView;

    // The line selected, or -1.
    int rigaSelezionata() const;
    void selezionaRiga(int riga);

Q_SIGNALS:
    void doppioClic();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};
