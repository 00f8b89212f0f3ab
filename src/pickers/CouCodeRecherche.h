// The search over every category: a field and, below it, the codes its words find,
// each shown as its label, its category and the text the document receives. With the
// field empty, the codes inserted since the program started, most recent first. The
// codes come from the pickers themselves (CodeCatalogue.h), gathered at the first
// search; Down and Up move through the results, Enter inserts the selected one (the
// first when none is), Escape clears the field, a double click inserts.
#pragma once

#include "CodeIndex.h"
#include "PickerForm.h"

#include <memory>

class QLabel;
class QLineEdit;
class QTreeView;
class TCodeResults;

class TfCouCodeRecherche : public TfPickerForm {
    Q_OBJECT

public:
    Q_INVOKABLE explicit TfCouCodeRecherche(TPickerHost *host);
    ~TfCouCodeRecherche() override;

    QLabel *Label1 = nullptr;
    QLineEdit *edRecherche = nullptr;
    QTreeView *lvCodes = nullptr;

    /// Gives the field the keyboard focus with its text selected, the list up to date.
    void FocusSearch();
    /// Lists what the field finds; gathers every picker's codes first, once.
    void edRechercheChange();
    /// Inserts the selected result, the first one when none is selected.
    void lvCodesDblClick();

    /// Every code found so far; null before the first search.
    const TCodeIndex *Index() const { return FIndex.get(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildIndex();
    /// The codes inserted so far, most recent first, each once.
    TCodeEntries RecentCodes() const;

    std::unique_ptr<TCodeIndex> FIndex;
    TCodeResults *FResults = nullptr;
    bool FBuilding = false;
};
