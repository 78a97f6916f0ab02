#include "search/VistaRighe.h"

#include <QItemSelectionModel>
#include <QMouseEvent>

int VistaRighe::rigaSelezionata() const
{
    if (!selectionModel())
        return -1;
    const QModelIndexList scelte = selectionModel()->selectedRows();
    return scelte.isEmpty() ? -1 : scelte.constFirst().row();
}

void VistaRighe::selezionaRiga(int riga)
{
    const QModelIndex indice = model() ? model()->index(riga, 0) : QModelIndex();
    if (!indice.isValid())
        return;
    setCurrentIndex(indice);
    selectionModel()->select(indice, QItemSelectionModel::ClearAndSelect);
    scrollTo(indice);
}

void VistaRighe::mouseDoubleClickEvent(QMouseEvent* event)
{
    QListView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        Q_EMIT doppioClic();
}
