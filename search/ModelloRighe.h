#pragma once

#include <QAbstractListModel>
#include <QSize>

class ListaContatti;

// The lines of the search list as a model, one row per line, read straight from the list's buffer. Every row
// has the same size, so the view lays out 100,000 lines without asking for each.
class ModelloRighe : public QAbstractListModel
{
    Q_OBJECT

public:
    // `lista` stays owned by the caller and must outlive the model.
    ModelloRighe(const ListaContatti* lista, QSize dimensioneRiga, QObject* parent);

    // Changes to the list go between these two calls.
    void iniziaCambio() { beginResetModel(); }
    void fineCambio() { endResetModel(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    const ListaContatti* m_lista;
    QSize m_dimensioneRiga;
};
