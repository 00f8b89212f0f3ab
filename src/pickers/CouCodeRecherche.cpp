#include "CouCodeRecherche.h"

#include "CodeCatalogue.h"
#include "support/Anchors.h"
#include "support/NestedLoop.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QSet>
#include <QTreeView>

// The results: entries of the index, or the recent codes, which it holds.
class TCodeResults : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void Show(const TCodeIndex &index, const std::vector<int> &found)
    {
        beginResetModel();
        FOwned.clear();
        FRows.clear();
        FRows.reserve(found.size());
        for (int entry : found)
            FRows.push_back(&index.Entry(entry));
        endResetModel();
    }
    void Show(TCodeEntries entries)
    {
        beginResetModel();
        FOwned = std::move(entries);
        FRows.clear();
        for (const TCodeEntry &entry : FOwned)
            FRows.push_back(&entry);
        endResetModel();
    }
    const TCodeEntry *Row(int row) const { return row >= 0 && row < int(FRows.size()) ? FRows[size_t(row)] : nullptr; }

    int rowCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : int(FRows.size()); }
    int columnCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : 3; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        const TCodeEntry *entry = Row(index.row());
        if (!entry || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
            return {};
        switch (index.column()) {
        case 0:
            return entry->Label;
        case 1:
            return entry->Category;
        default:
            return DocumentText(entry->Code);
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        static const QString Titles[] = {QStringLiteral("Libellé"), QStringLiteral("Catégorie"), QStringLiteral("Code")};
        return section >= 0 && section < 3 ? Titles[section] : QString();
    }

private:
    TCodeEntries FOwned;
    std::vector<const TCodeEntry *> FRows;
};

TfCouCodeRecherche::TfCouCodeRecherche(TPickerHost *host)
    : TfPickerForm(host, QStringLiteral("Recherche de codes"), QSize(440, 345))
{
    Label1 = AddOptionLabel(this, "Label1", QStringLiteral("Rechercher :"), 8, 10);

    edRecherche = new QLineEdit(this);
    edRecherche->setObjectName(QStringLiteral("edRecherche"));
    edRecherche->setGeometry(80, 6, 352, 21);
    edRecherche->setPlaceholderText(QStringLiteral("quelques lettres du libellé ou du code"));
    edRecherche->setAccessibleName(QStringLiteral("Rechercher un code"));
    edRecherche->setClearButtonEnabled(true);
    Label1->setBuddy(edRecherche);
    SetAnchors(edRecherche, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge);
    edRecherche->installEventFilter(this);
    connect(edRecherche, &QLineEdit::textChanged, this, [this] { edRechercheChange(); });

    FResults = new TCodeResults(this);
    lvCodes = new QTreeView(this);
    lvCodes->setObjectName(QStringLiteral("lvCodes"));
    lvCodes->setGeometry(4, 33, 432, 308);
    lvCodes->setAccessibleName(QStringLiteral("Codes trouvés"));
    lvCodes->setRootIsDecorated(false);
    lvCodes->setUniformRowHeights(true);
    lvCodes->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvCodes->setSelectionMode(QAbstractItemView::SingleSelection);
    lvCodes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvCodes->setModel(FResults);
    lvCodes->setColumnWidth(0, 190);
    lvCodes->setColumnWidth(1, 130);
    SetAnchors(lvCodes, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);
    OnItemChosen(lvCodes, [this] { lvCodesDblClick(); });

    edRechercheChange();
}

TfCouCodeRecherche::~TfCouCodeRecherche() = default;

void TfCouCodeRecherche::FocusSearch()
{
    if (edRecherche->text().isEmpty())
        edRechercheChange(); // codes inserted since
    edRecherche->setFocus(Qt::ShortcutFocusReason);
    edRecherche->selectAll();
}

void TfCouCodeRecherche::BuildIndex()
{
    // The pickers read the practice: events handled meanwhile (a statement waiting
    // before its retry) must not destroy this picker, nor start a second gathering.
    const TNestedLoop nestedLoop;
    FBuilding = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto done = qScopeGuard([this] {
        QApplication::restoreOverrideCursor();
        FBuilding = false;
    });
    FIndex = std::make_unique<TCodeIndex>(CatalogueOfCodes(Host()));
}

void TfCouCodeRecherche::edRechercheChange()
{
    const QString query = edRecherche->text();
    if (query.trimmed().isEmpty()) {
        FResults->Show(RecentCodes());
        return;
    }
    if (!FIndex) {
        if (FBuilding)
            return; // the gathering under way lists the text typed by then
        BuildIndex();
    }
    FResults->Show(*FIndex, FIndex->Find(edRecherche->text()));
}

TCodeEntries TfCouCodeRecherche::RecentCodes() const
{
    TCodeEntries recent;
    if (!Host())
        return recent;
    QSet<QString> listed;
    const QStringList &inserted = Host()->InsertedCodes();
    for (auto code = inserted.crbegin(); code != inserted.crend(); ++code) {
        if (listed.contains(*code))
            continue;
        listed.insert(*code);
        recent.push_back({DocumentText(*code), QStringLiteral("Codes insérés"), *code});
    }
    return recent;
}

void TfCouCodeRecherche::lvCodesDblClick()
{
    const QModelIndexList selected = lvCodes->selectionModel()->selectedRows();
    const TCodeEntry *entry = FResults->Row(selected.isEmpty() ? 0 : selected.first().row());
    if (!entry)
        return;
    const QString code = entry->Code;
    Insert(code);
    if (edRecherche->text().trimmed().isEmpty())
        edRechercheChange();
}

bool TfCouCodeRecherche::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != edRecherche || event->type() != QEvent::KeyPress)
        return TfPickerForm::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    switch (key->key()) {
    case Qt::Key_Down:
    case Qt::Key_Up:
    case Qt::Key_PageDown:
    case Qt::Key_PageUp:
        // The field keeps the focus while the list moves.
        QCoreApplication::sendEvent(lvCodes, event);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        lvCodesDblClick();
        return true;
    case Qt::Key_Escape:
        if (edRecherche->text().isEmpty())
            return false;
        edRecherche->clear();
        return true;
    default:
        return false;
    }
}
