#include "export/ModelloGriglia.h"

ModelloGriglia::ModelloGriglia(QObject* parent) : QAbstractTableModel(parent) {}

GrigliaEsportazione::Esito ModelloGriglia::riempi(const QString& appDir, GrigliaEsportazione::Vista vista)
{
    beginResetModel();
    const GrigliaEsportazione::Esito esito = m_griglia.riempi(appDir, vista);
    endResetModel();
    return esito;
}

int ModelloGriglia::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_griglia.righe() - 1;
}

int ModelloGriglia::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_griglia.colonne() - 1;
}

QVariant ModelloGriglia::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
        return {};
    return m_griglia.testo(colonnaGriglia(index), rigaGriglia(index));
}

QVariant ModelloGriglia::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    if (orientation == Qt::Horizontal)
        return m_griglia.testo(section + 1, 0);
    return m_griglia.testo(0, section + 1);
}

Qt::ItemFlags ModelloGriglia::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
