// The replacement aid dialog: lists the answer choices (modalities) of one question and
// lets the user type a replacement text for each. On OK, Resultat holds the pairs
// "{label¤replacement}" of the rows given a replacement, in list order; the caller reads
// it with the state of "Comparaison Partielle".
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class TCQuestion;

class TfCouQonRemplacement : public QDialog {
    Q_OBJECT

public:
    explicit TfCouQonRemplacement(QWidget *owner = nullptr);

    QTreeWidget *lv;
    QLabel *Label1;
    QCheckBox *chkModeEtendu;
    QPushButton *bOk;
    QPushButton *bCancel;

    /// The question whose modalities are listed; set before showing; not owned.
    TCQuestion *Question = nullptr;
    /// The replacement pairs built by OK; empty otherwise.
    QString Resultat;

    void bOkClick();
    void bCancelClick();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    /// F2 edits the replacement of the selected row.
    bool lvKeyDown(int key);
};
