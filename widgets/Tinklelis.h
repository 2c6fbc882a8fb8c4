// The string grid of the details window, and its look over a model for the
// server list.
#pragma once

#include <QByteArray>
#include <QTableView>
#include <QTableWidget>

// A string grid: a table of texts whose row 0 is the fixed title row. Row 0
// keeps its cells like any other row, is never scrolled away and cannot be
// selected or edited: it is hidden in the table and shown as the column
// header, which follows its cells.
class TTinklelis : public QTableWidget {
    Q_OBJECT
public:
    TTinklelis(int stulpeliai, int eilutes, QWidget* tevas = nullptr);
    ~TTinklelis() override;

    // Cells[ACol][ARow]: the cell's text, empty for a cell never written and
    // for one outside the grid.
    QString Langelis(int ACol, int ARow) const;
    void NustatytiLangeli(int ACol, int ARow, const QString& tekstas);
    // The bytes a cell was read from, with its text (see LangelioBaitai).
    void NustatytiLangeli(int ACol, int ARow, const QString& tekstas, const QByteArray& baitai);
    // The bytes to store for a cell: the bytes it was read from while its text
    // is still the one they gave, otherwise its text in UTF-8.
    QByteArray LangelioBaitai(int ACol, int ARow) const;
    void IsvalytiLangeli(int ACol, int ARow);
    void IsvalytiViska();

    // Text colour and boldness of every cell, titles included.
    void NustatytiTeksta(const QColor& spalva, bool storas);

    using QTableWidget::edit;

protected:
    // No editor opens in the title row, whatever the edit triggers.
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

private:
    void AtnaujintiAntraste(int ACol);
};

// The string grid's look over a model whose row 0 is the title row and whose
// horizontal header gives the titles: row 0 is hidden in the table and shown
// as the column header.
class TTinklelioVaizdas : public QTableView {
    Q_OBJECT
public:
    explicit TTinklelioVaizdas(QWidget* tevas = nullptr);

    void setModel(QAbstractItemModel* modelis) override;
    // The text a cell shows, empty for one outside the grid.
    QString Langelis(int ACol, int ARow) const;
    // Text colour and boldness of every cell, titles included.
    void NustatytiTeksta(const QColor& spalva, bool storas);
};
