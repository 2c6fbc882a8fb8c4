#include "Tinklelis.h"

#include <QHeaderView>

#include "Tekstas.h"
#include "Valdikliai.h"

using namespace Qt::StringLiterals;

namespace {

// The bytes a cell was read from, kept beside its text.
constexpr int kBaituVaidmuo = Qt::UserRole + 1;

const QString kTinkleliuLinijos = u"#808080"_s;

// Headers, selection and keys of a string grid.
void Paruosti(QTableView* v) {
    v->verticalHeader()->hide();
    v->verticalHeader()->setMinimumSectionSize(1);
    QHeaderView* antraste = v->horizontalHeader();
    antraste->setMinimumSectionSize(1);
    antraste->setSectionsClickable(false);
    antraste->setHighlightSections(false);
    antraste->setStretchLastSection(false);
    antraste->setSectionResizeMode(QHeaderView::Interactive);
    antraste->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    v->setSelectionMode(QAbstractItemView::SingleSelection);
    v->setSelectionBehavior(QAbstractItemView::SelectItems);
    v->setTabKeyNavigation(true);
    v->setWordWrap(false);
    v->setShowGrid(true);
}

void TaikytiTeksta(QTableView* v, const QColor& spalva, bool storas) {
    QFont sriftas = v->font();
    sriftas.setBold(storas);
    v->setFont(sriftas);
    v->horizontalHeader()->setFont(sriftas);
    NustatytiSpalvas(v, spalva);
    // Grid lines in grey, which shows on the black cells; the title row black
    // like the cells, in the cells' text colour.
    v->setStyleSheet(u"QTableView { gridline-color: %1; }"_s.arg(kTinkleliuLinijos));
    v->horizontalHeader()->setStyleSheet(
        u"QHeaderView { background-color: black; } "
        "QHeaderView::section { background-color: black; color: %1; border: 0px; "
        "border-right: 1px solid %2; border-bottom: 1px solid %2; padding: 0px 2px; }"_s.arg(spalva.name(),
                                                                                             kTinkleliuLinijos));
}

} // namespace

TTinklelis::TTinklelis(int stulpeliai, int eilutes, QWidget* tevas) : QTableWidget(eilutes, stulpeliai, tevas) {
    Paruosti(this);
    for (int c = 0; c < stulpeliai; ++c)
        setHorizontalHeaderItem(c, new QTableWidgetItem(QString()));
    setRowHidden(0, true);
    connect(model(), &QAbstractItemModel::dataChanged, this, [this](const QModelIndex& nuo, const QModelIndex& iki) {
        if (nuo.row() == 0)
            for (int c = nuo.column(); c <= iki.column(); ++c)
                AtnaujintiAntraste(c);
    });
    connect(model(), &QAbstractItemModel::modelReset, this, [this] {
        for (int c = 0; c < columnCount(); ++c)
            AtnaujintiAntraste(c);
    });
}

TTinklelis::~TTinklelis() {
    // The model outlives this part of the grid and reports its own teardown.
    disconnect(model(), nullptr, this, nullptr);
}

void TTinklelis::AtnaujintiAntraste(int ACol) {
    if (QTableWidgetItem* a = horizontalHeaderItem(ACol))
        a->setText(Langelis(ACol, 0));
}

QString TTinklelis::Langelis(int ACol, int ARow) const {
    const QTableWidgetItem* i = item(ARow, ACol);
    return i ? i->text() : QString();
}

void TTinklelis::NustatytiLangeli(int ACol, int ARow, const QString& tekstas) {
    NustatytiLangeli(ACol, ARow, tekstas, QByteArray());
}

void TTinklelis::NustatytiLangeli(int ACol, int ARow, const QString& tekstas, const QByteArray& baitai) {
    if (ARow < 0 || ARow >= rowCount() || ACol < 0 || ACol >= columnCount())
        return;
    QTableWidgetItem* i = item(ARow, ACol);
    if (!i) {
        i = new QTableWidgetItem();
        i->setData(kBaituVaidmuo, baitai.isNull() ? QVariant() : QVariant(baitai));
        i->setText(tekstas);
        setItem(ARow, ACol, i);
        if (ARow == 0)
            AtnaujintiAntraste(ACol);
        return;
    }
    i->setData(kBaituVaidmuo, baitai.isNull() ? QVariant() : QVariant(baitai));
    i->setText(tekstas);
}

QByteArray TTinklelis::LangelioBaitai(int ACol, int ARow) const {
    const QTableWidgetItem* i = item(ARow, ACol);
    if (!i)
        return {};
    const QVariant baitai = i->data(kBaituVaidmuo);
    if (baitai.isValid()) {
        const QByteArray b = baitai.toByteArray();
        if (RodomasTekstas(b) == i->text())
            return b;
    }
    return i->text().toUtf8();
}

void TTinklelis::IsvalytiLangeli(int ACol, int ARow) {
    delete takeItem(ARow, ACol);
    if (ARow == 0)
        AtnaujintiAntraste(ACol);
}

void TTinklelis::IsvalytiViska() {
    clearContents();
    for (int c = 0; c < columnCount(); ++c)
        AtnaujintiAntraste(c);
}

void TTinklelis::NustatytiTeksta(const QColor& spalva, bool storas) {
    TaikytiTeksta(this, spalva, storas);
}

bool TTinklelis::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (index.row() == 0)
        return false; // the titles are the program's, not the user's
    return QTableWidget::edit(index, trigger, event);
}

TTinklelioVaizdas::TTinklelioVaizdas(QWidget* tevas) : QTableView(tevas) {
    Paruosti(this);
}

void TTinklelioVaizdas::setModel(QAbstractItemModel* modelis) {
    QTableView::setModel(modelis);
    setRowHidden(0, true);
}

QString TTinklelioVaizdas::Langelis(int ACol, int ARow) const {
    return model() ? model()->index(ARow, ACol).data().toString() : QString();
}

void TTinklelioVaizdas::NustatytiTeksta(const QColor& spalva, bool storas) {
    TaikytiTeksta(this, spalva, storas);
}
