// Base of the picker forms: a form created with the main window as its owner, hosted
// in the main window's panel, that hands the codes it builds to InsertCode. Also the
// small builders every picker uses for its fixed-geometry controls.
#pragma once

#include <QPixmap>
#include <QWidget>

#include <functional>

class QAbstractItemView;
class QGroupBox;
class QLabel;
class TfScrivo;
class TLumoUrl;

class TfPickerForm : public QWidget {
    Q_OBJECT

public:
    /// `owner` is the main window; the form takes the design client size.
    TfPickerForm(QWidget *owner, const QString &caption, const QSize &clientSize);

    TfScrivo *Owner() const { return FOwner; }

protected:
    /// Hands `code` to the insertion routine with the main window.
    void Insert(const QString &code);

    /// A link label as the pickers use it: hand cursor, hint, blue underlined
    /// mouse-over font, and the shared link picture unless `withPicture` is false.
    TLumoUrl *AddLink(QWidget *parent, const char *name, const QString &caption, const QString &hint,
                      const QRect &geometry, std::function<void(TLumoUrl *)> onClick, bool withPicture = true);
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
    TfScrivo *FOwner;
};
