#pragma once

#include "export/GrigliaEsportazione.h"

#include <QAbstractTableModel>

// The export grid as the window's table shows it. The grid's fixed row 0 (the captions) and column 0 (the row
// numbers) are the table's headers: they then stay in place while the cells scroll, cannot be selected, and a
// screen reader announces each cell with its caption as column header and its number as row header. The cells
// are the grid's columns 1 to 16 of rows 1 to N.
class ModelloGriglia : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ModelloGriglia(QObject* parent = nullptr);

    const GrigliaEsportazione& griglia() const { return m_griglia; }
    GrigliaEsportazione& griglia() { return m_griglia; }

    GrigliaEsportazione::Esito riempi(const QString& appDir, GrigliaEsportazione::Vista vista);

    // The grid cell behind a table index.
    static int colonnaGriglia(const QModelIndex& index) { return index.column() + 1; }
    static int rigaGriglia(const QModelIndex& index) { return index.row() + 1; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    GrigliaEsportazione m_griglia;
};
