#include "search/ModelloRighe.h"

#include "search/ListaContatti.h"

ModelloRighe::ModelloRighe(const ListaContatti* lista, QSize dimensioneRiga, QObject* parent)
    : QAbstractListModel(parent), m_lista(lista), m_dimensioneRiga(dimensioneRiga)
{
}

int ModelloRighe::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_lista->count();
}

QVariant ModelloRighe::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_lista->count())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return m_lista->riga(index.row());
    case Qt::SizeHintRole:
        // The width sets how far the list scrolls sideways, enough for the whole line.
        return m_dimensioneRiga;
    default:
        return {};
    }
}
