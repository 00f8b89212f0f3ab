// Base of the picker forms: a form created for its host (the main window, seen only
// through TPickerHost), shown in the host's panel, that hands the codes it builds to
// the host's InsertCode. Also the small builders the pickers use for their
// fixed-geometry controls.
#pragma once

#include "PickerHost.h"

#include "support/LumoUrl.h"

#include <QPixmap>
#include <QWidget>

#include <functional>

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

protected:
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
};
