// Base of the picker forms: a form created for its host (the main window, seen only
// through TPickerHost), shown in the host's panel, that hands the codes it builds to
// the host's InsertCode. Also the small builders the pickers use for their
// fixed-geometry controls, and the listing of a picker's codes for the search over
// every category: each code is taken from the picker's own handler, run with the
// insertion held back, so that a search result and its picker give the same text.
#pragma once

#include "CodeEntry.h"
#include "PickerHost.h"

#include "support/LumoUrl.h"

#include <QHash>
#include <QPixmap>
#include <QWidget>

#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

class QAbstractItemView;
class QGroupBox;
class QLabel;

class TfPickerForm : public QWidget {
    Q_OBJECT

public:
    /// `host` (may be null, for a form shown on its own) owns the form; the form takes
    /// the design client size.
    TfPickerForm(TPickerHost *host, const QString &caption, const QSize &clientSize);

    TPickerHost *Host() const { return FHost; }

    /// Appends every code this picker gives with its options as they are when it opens:
    /// what a click on each of its links would insert (not those that ask something
    /// first). Pickers with lists add one code per entry.
    virtual void ListCodes(TCodeEntries &codes);

protected:
    /// The code that `choose`, a handler of this picker, inserts; null when it inserts
    /// nothing. The host receives nothing meanwhile.
    QString CodeGivenBy(const std::function<void()> &choose);
    /// The codes of the enabled links (ListCodes without the entries).
    void ListLinkCodes(TCodeEntries &codes);
    /// One code per entry of `view`, a view given to OnItemChosen (per leaf of a tree,
    /// whose groups join `category`): each entry made current and selected in turn, then
    /// chosen; labelled by the entry's text.
    void ListEntryCodes(QAbstractItemView *view, const QString &category, TCodeEntries &codes);
    /// This picker's caption, then `detail` when there is one.
    QString CodeCategory(const QString &detail = QString()) const;
    /// Leaves `link` out of the listed codes: it asks the user something before inserting.
    void AsksBeforeInserting(TLumoUrl *link) { FAskingLinks.push_back(link); }
    /// Lists each link under `label`, which stands before them, and its caption
    /// ("Retour : oui"): their captions alone say too little out of the picker.
    void ListAfterLabel(const QLabel *label, std::initializer_list<const TLumoUrl *> links);

    /// Hands `code` to the host's insertion road.
    void Insert(const QString &code);

    /// A link label as the pickers use it: hand cursor, hint, blue underlined
    /// mouse-over font, and the shared link picture unless `withPicture` is false.
    TLumoUrl *AddLink(QWidget *parent, const char *name, const QString &caption, const QString &hint,
                      const QRect &geometry, std::function<void(TLumoUrl *)> onClick, bool withPicture = true);
    /// A link whose click runs `handler` of this picker with the link; its Tag tells
    /// the handler which link it is.
    template <class Picker>
    TLumoUrl *AddHandlerLink(QWidget *box, const char *name, const QString &caption, const QString &hint,
                             const QRect &geometry, void (Picker::*handler)(TLumoUrl *), int tag = 0,
                             bool withPicture = true)
    {
        auto *picker = static_cast<Picker *>(this);
        TLumoUrl *link = AddLink(
            box, name, caption, hint, geometry, [picker, handler](TLumoUrl *sender) { (picker->*handler)(sender); },
            withPicture);
        link->Tag = tag;
        return link;
    }
    /// A link of an options box: no picture, the design's link height.
    template <class Picker>
    TLumoUrl *AddOptionLink(QWidget *box, const char *name, const QString &caption, const QString &hint, int left,
                            int top, int width, void (Picker::*handler)(TLumoUrl *), int tag = 0)
    {
        return AddHandlerLink(box, name, caption, hint, QRect(left, top, width, OptionLinkHeight), handler, tag,
                              /*withPicture*/ false);
    }
    /// A link that inserts `code`.
    TLumoUrl *AddFixedCodeLink(QWidget *box, const char *name, const QString &caption, const QString &hint,
                               const QRect &geometry, const QString &code);
    /// A label of an options box, as wide as its caption.
    QLabel *AddOptionLabel(QWidget *box, const char *name, const QString &caption, int left, int top);
    QGroupBox *AddGroupBox(const char *name, const QString &caption, const QRect &geometry);
    /// Moves the children of every group box, placed for a design whose frame line ran
    /// through the caption, inside the frame the style draws.
    void FitGroupBoxesIntoFrames();
    /// "version " and the long version text, anchored to the bottom-left corner.
    QLabel *AddVersionLabel(int left, int top);
    /// Runs `insert` on a double click anywhere in `view` (the handler decides what is
    /// selected) and, for keyboard users, on Enter.
    void OnItemChosen(QAbstractItemView *view, std::function<void()> insert);

private:
    static constexpr int OptionLinkHeight = 17;
    TPickerHost *FHost;
    /// While codes are listed: where Insert leaves the code instead of inserting it.
    QString *FGivenCode = nullptr;
    std::vector<const TLumoUrl *> FAskingLinks;
    QHash<const TLumoUrl *, QString> FLinkLabels;
    /// The views given to OnItemChosen, with what choosing one of their entries runs.
    std::vector<std::pair<QAbstractItemView *, std::function<void()>>> FChoiceViews;
};
