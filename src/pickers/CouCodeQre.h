// The questionnaire picker: the practice's questionnaires and, for the selected one, its
// questions. Inserts £QB<number>#, £QE#, the answer code of one question (double click),
// optionally with the question's label, its mnemonic and replacement texts typed in the
// replacement aid dialog, and the answer codes of every listed question at once.
// A questionnaire given on the command line (the main window's FQuestionnaireId) is
// selected at showing and fixes the "occurrence à choisir" option.
#pragma once

#include "PickerForm.h"

#include <memory>

class QCheckBox;
class QGroupBox;
class QTreeWidget;
class TCQuestion;
class TCQuestionnaires;
class TLumoRadio;

class TfCouCodeQre : public TfPickerForm {
    Q_OBJECT

public:
    Q_INVOKABLE explicit TfCouCodeQre(TPickerHost *host);
    ~TfCouCodeQre() override;

    QGroupBox *GroupBox1;
    QTreeWidget *lvQre;
    QTreeWidget *lvQon;
    QCheckBox *chkHidden;
    QGroupBox *GroupBox2;
    TLumoUrl *urlQB;
    TLumoUrl *urlQE;
    TLumoRadio *rdDernier;
    TLumoRadio *rdAChoisir;
    TLumoRadio *rdResume;
    TLumoRadio *rdQSD;
    TLumoRadio *chkInclure;
    TLumoRadio *chkRemplacement;
    TLumoRadio *chkMnemonique;
    TLumoUrl *urlInsererTout;

    /// Every questionnaire, hidden ones included, in label order; none once destroyed.
    std::unique_ptr<TCQuestionnaires> Questionnaires;

    void lvQreSelectItem();
    void lvQonDblClick();
    void chkHiddenClick();
    void urlQBClick();
    void urlQEClick();
    void urlInsererToutClick();

    /// £QE#, then each listed questionnaire's £QB code and the answer codes of its
    /// questions, with the occurrence the picker starts with.
    void ListCodes(TCodeEntries &codes) override;

    /// The code of questionnaire `code`, as urlQB offers it.
    static QString QuestionnaireCode(int code);
    /// What the answer code of question `code`, shown as `caption`, reads without its
    /// mnemonic.
    static QString AnswerBody(const QString &prefix, int code, const QString &caption);
    /// The answer code of a question of type `typeQuestion` whose code reads `body`
    /// ("QQD12 : Poids", or the mnemonic's form).
    static QString AnswerCode(const QString &body, int typeQuestion);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    /// A fresh list of every questionnaire, those shown listed.
    void LoadQuestionnaires();
    /// Keeps to the occurrences of the questionnaire given on the command line.
    void FixOccurrence();
    void FillQuestionnaireList();
    /// The answer-code prefix of the checked occurrence radio.
    QString Prefix() const;
    /// Builds and inserts the answer code of the selected question row.
    void InsertAnswerCode();
    /// The question `code` with its modalities; raises for an unknown code.
    static std::unique_ptr<TCQuestion> LoadQuestion(int code);
};
