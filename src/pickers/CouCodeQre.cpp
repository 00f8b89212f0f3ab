#include "CouCodeQre.h"

#include "CouQonRemplacement.h"
#include "data/CQuestion.h"
#include "support/Anchors.h"
#include "support/ErrorMessageBox.h"
#include "support/LumoRadio.h"
#include "support/LumoUrl.h"
#include "support/NestedLoop.h"
#include "support/StrMan.h"
#include "support/WinTools.h"
#include "support/WrkGraphics.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QShowEvent>
#include <QTreeWidget>

#include <algorithm>

namespace {

// Each questionnaire row carries the index of its questionnaire in Questionnaires.
constexpr int QuestionnaireRole = Qt::UserRole;
const QString DossierLabel = QStringLiteral("__QRE_DOSSIER__");
const QString QuestionColumns = QStringLiteral("que_question.code_question , libelle, type_question, est_invisible");

QIcon SmallIcon(int index)
{
    return fWrkGraphics ? QIcon(fWrkGraphics->Images16x16.Image(index)) : QIcon();
}

int QuestionIcon(int typeQuestion)
{
    static const int icons[] = {7, 8, 9, 10, 9, 7, 8, 10};
    return typeQuestion >= 0 && typeQuestion < 8 ? icons[typeQuestion] : 7;
}

QTreeWidget *NewListView(QWidget *parent, const char *name, const QString &column, const QRect &geometry)
{
    auto *view = new QTreeWidget(parent);
    view->setObjectName(QLatin1String(name));
    view->setGeometry(geometry);
    view->setHeaderLabels({column});
    view->setAccessibleName(column);
    view->setColumnWidth(0, 197);
    view->header()->setStretchLastSection(false);
    view->setRootIsDecorated(false);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setIconSize(QSize(16, 16));
    SetAnchors(view, Qt::LeftEdge | Qt::TopEdge | Qt::BottomEdge);
    return view;
}

} // namespace

TfCouCodeQre::TfCouCodeQre(TPickerHost *host)
    : TfPickerForm(host, QStringLiteral("Code Questionnaires"), QSize(531, 350))
{
    // The options box is 20 pixels taller than designed, at the lists' expense: its two
    // long radios need two lines where the window is narrower than the picker's design.
    GroupBox1 = AddGroupBox("GroupBox1", QStringLiteral(" Questionnaires "), QRect(4, 4, 524, 199));
    SetAnchors(GroupBox1, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);

    lvQre = NewListView(GroupBox1, "lvQre", QStringLiteral("Questionnaires"), QRect(8, 20, 221, 171));
    lvQre->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(lvQre, &QTreeWidget::itemSelectionChanged, this, [this] {
        RunGuarded(QStringLiteral("TfCouCodeQre.lvQreSelectItem"), [this] { lvQreSelectItem(); });
    });

    // Question captions may be edited in place: the edited caption goes into the code.
    lvQon = NewListView(GroupBox1, "lvQon", QStringLiteral("Questions"), QRect(232, 20, 221, 171));
    lvQon->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    OnItemChosen(lvQon, [this] { lvQonDblClick(); });

    chkHidden = new QCheckBox(QStringLiteral("montrer questionnaires cachés"), GroupBox1);
    chkHidden->setObjectName(QStringLiteral("chkHidden"));
    // On the frame's top right corner, as wide as its caption needs.
    const int hiddenWidth = std::max(169, chkHidden->sizeHint().width());
    chkHidden->setGeometry(348 + 169 - hiddenWidth, -2, hiddenWidth, 17);
    SetAnchors(chkHidden, Qt::TopEdge | Qt::RightEdge);
    connect(chkHidden, &QCheckBox::clicked, this, [this] { chkHiddenClick(); });

    GroupBox2 = AddGroupBox("GroupBox2", QStringLiteral(" Options "), QRect(4, 206, 524, 141));
    SetAnchors(GroupBox2, Qt::LeftEdge | Qt::RightEdge | Qt::BottomEdge);

    auto link = [this](const char *name, const QString &caption, const QRect &geometry, void (TfCouCodeQre::*handler)()) {
        TLumoUrl *url = AddLink(GroupBox2, name, caption, QString(), geometry, [this, handler](TLumoUrl *) { (this->*handler)(); });
        if (fWrkGraphics)
            url->SetPicture(fWrkGraphics->QuestionnairePicture());
        return url;
    };
    urlQB = link("urlQB", QStringLiteral("Insérer £QBnn#"), QRect(8, 16, 150, 17), &TfCouCodeQre::urlQBClick);
    urlQB->setEnabled(false);
    urlQE = link("urlQE", QStringLiteral("Insérer £QE#"), QRect(8, 36, 150, 17), &TfCouCodeQre::urlQEClick);
    urlInsererTout = link("urlInsererTout", QStringLiteral("Insérer tout le questionnaire"), QRect(232, 110, 157, 17),
                          &TfCouCodeQre::urlInsererToutClick);

    const TImageList *images = fWrkGraphics ? &fWrkGraphics->ImagesChk : nullptr;
    auto option = [&](const char *name, const QString &caption, const QRect &geometry, bool radio) {
        auto *control = new TLumoRadio(GroupBox2);
        control->setObjectName(QLatin1String(name));
        if (radio)
            control->SetupAsRadio(images);
        else
            control->SetupAsCheck(images);
        control->SetCaption(caption);
        control->setGeometry(geometry);
        if (!radio)
            control->FitWidthToCaption();
        return control;
    };
    // The radios reach the frame's right side and stretch with it; the two long ones go
    // on over two lines when they need to.
    const int radioWidth = GroupBox2->width() - 224 - 8;
    rdDernier = option("rdDernier", QStringLiteral("dernière occurrence (codes en QQD)"), QRect(224, 12, radioWidth, 17), true);
    rdAChoisir = option("rdAChoisir", QStringLiteral("occurrence à choisir (codes en QQC)"), QRect(224, 28, radioWidth, 17), true);
    rdResume = option("rdResume", QStringLiteral("formulaire technique ou résumé  (codes en QQC)"), QRect(224, 44, radioWidth, 28), true);
    rdQSD = option("rdQSD", QStringLiteral("dernière réponse - tout questionnaire confondu (QSD)"), QRect(224, 76, radioWidth, 28), true);
    for (TLumoRadio *radio : {rdResume, rdQSD})
        radio->SetWordWrap(true);
    for (TLumoRadio *radio : {rdDernier, rdAChoisir, rdResume, rdQSD})
        SetAnchors(radio, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge);
    rdDernier->SetValue(true);
    chkInclure = option("chkInclure", QStringLiteral("inclure le libellé de la question"), QRect(8, 60, 165, 17), false);
    chkRemplacement = option("chkRemplacement", QStringLiteral("Proposer l'aide aux remplacements"), QRect(8, 80, 203, 17), false);
    chkMnemonique = option("chkMnemonique", QStringLiteral("Utiliser le mnémonique s'il existe"), QRect(8, 100, 181, 17), false);

    Questionnaires = std::make_unique<TCQuestionnaires>();
}

TfCouCodeQre::~TfCouCodeQre()
{
    // The lists are destroyed after this body: their last selection changes find no list.
    disconnect(lvQre, nullptr, this, nullptr);
    Questionnaires.reset();
    ClearListView(lvQon);
}

void TfCouCodeQre::showEvent(QShowEvent *event)
{
    TfPickerForm::showEvent(event);
    // Spontaneous shows (the main window unfolded or restored) change nothing.
    if (!event->spontaneous())
        RunGuarded(QStringLiteral("TfCouCodeQre.FormShow"), [this] { FormShow(); });
}

void TfCouCodeQre::FormShow()
{
    // Pending events are handled below, with this picker's showing still under way.
    const TNestedLoop nestedLoop;
    // A fresh list at each showing, so that the rows never repeat.
    LoadQuestionnaires();

    const int wanted = Host() ? Host()->QuestionnaireId() : 0;
    if (wanted <= 0)
        return;
    for (int row = 0; row < lvQre->topLevelItemCount(); ++row) {
        QTreeWidgetItem *item = lvQre->topLevelItem(row);
        const TCQuestionnaire *questionnaire = Questionnaires->Items(item->data(0, QuestionnaireRole).toInt());
        if (questionnaire && questionnaire->code_questionnaire == wanted) {
            lvQre->scrollToItem(item);
            QCoreApplication::processEvents();
            lvQre->setCurrentItem(item);
            break;
        }
    }
    QCoreApplication::processEvents();
    FixOccurrence();
}

void TfCouCodeQre::LoadQuestionnaires()
{
    lvQre->clear();
    Questionnaires = std::make_unique<TCQuestionnaires>();
    Questionnaires->Charger(false, QString(), 0);
    FillQuestionnaireList();
}

void TfCouCodeQre::FixOccurrence()
{
    // The questionnaire is fixed by the command line, found or not: only its own
    // occurrences make sense.
    rdAChoisir->SetValue(true);
    for (QWidget *control : std::initializer_list<QWidget *>{urlQB, urlQE, rdDernier, rdQSD})
        control->setEnabled(false);
}

void TfCouCodeQre::ListCodes(TCodeEntries &codes)
{
    LoadQuestionnaires();
    const bool fixed = Host() && Host()->QuestionnaireId() > 0;
    if (fixed)
        FixOccurrence();
    ListLinkCodes(codes);
    Questionnaires->ChargerQuestions(QStringLiteral("que_tc_questionnaire_question.code_questionnaire, ") + QuestionColumns);
    const QString prefix = Prefix();
    for (int row = 0; row < lvQre->topLevelItemCount(); ++row) {
        const QTreeWidgetItem *item = lvQre->topLevelItem(row);
        const TCQuestionnaire *questionnaire = Questionnaires->Items(item->data(0, QuestionnaireRole).toInt());
        const QString caption = item->text(0);
        if (!fixed)
            codes.push_back({caption, CodeCategory(), QuestionnaireCode(questionnaire->code_questionnaire)});
        for (const auto &question : questionnaire->Questions)
            codes.push_back({question->libelle, CodeCategory(caption),
                             AnswerCode(AnswerBody(prefix, question->code_question, question->libelle),
                                        question->type_question)});
    }
}

QString TfCouCodeQre::QuestionnaireCode(int code)
{
    return QStringLiteral("£QB") + QString::number(code) + u'#';
}

QString TfCouCodeQre::AnswerBody(const QString &prefix, int code, const QString &caption)
{
    return prefix + QString::number(code) + QStringLiteral(" : ") + caption;
}

QString TfCouCodeQre::AnswerCode(const QString &body, int typeQuestion)
{
    // A question on the doctor list gives the doctor's name.
    return u'[' + body + (typeQuestion == 9 ? QStringLiteral(" (nom)") : QString()) + u']';
}

void TfCouCodeQre::FillQuestionnaireList()
{
    lvQre->clear();
    ClearListView(lvQon);
    if (!Questionnaires)
        return;
    const int wanted = Host() ? Host()->QuestionnaireId() : 0;
    for (int index = 0; index < Questionnaires->Count(); ++index) {
        const TCQuestionnaire *questionnaire = Questionnaires->Items(index);
        if (!chkHidden->isChecked() && questionnaire->hidden && questionnaire->code_questionnaire != wanted)
            continue;
        const QString caption =
            questionnaire->libelle == DossierLabel ? QStringLiteral("* Questionnaire Dossier *") : questionnaire->libelle;
        auto *item = new QTreeWidgetItem(lvQre, {caption});
        item->setIcon(0, SmallIcon(questionnaire->est_super ? 6 : 5));
        item->setData(0, QuestionnaireRole, index);
    }
}

void TfCouCodeQre::chkHiddenClick()
{
    FillQuestionnaireList();
}

void TfCouCodeQre::lvQreSelectItem()
{
    if (!Questionnaires)
        return;
    const QList<QTreeWidgetItem *> selected = lvQre->selectedItems();
    // A deselection keeps the listed questions.
    if (selected.isEmpty()) {
        urlQB->setEnabled(false);
        return;
    }
    const TCQuestionnaire *chosen = Questionnaires->Items(selected.first()->data(0, QuestionnaireRole).toInt());
    if (!chosen)
        return;
    const int code = chosen->code_questionnaire;
    urlQB->SetCaption(QStringLiteral("Insérer ") + QuestionnaireCode(code));
    urlQB->setEnabled(true);

    // A super-questionnaire lists the questions of the questionnaires it gathers.
    TCQuestionnaire questionnaire;
    questionnaire.code_questionnaire = code;
    questionnaire.est_super = chosen->est_super;
    ClearListView(lvQon);
    if (questionnaire.est_super)
        questionnaire.ChargerSousQuestionnaire();
    questionnaire.ChargerListeQuestions(false, QuestionColumns);
    for (const auto &question : questionnaire.Questions) {
        auto *item = new QTreeWidgetItem(lvQon, {question->libelle});
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        item->setIcon(0, SmallIcon(QuestionIcon(question->type_question)));
        TListItemData *data = NewListItemData();
        data->Value = question->code_question;
        SetListItemData(item, data);
    }
}

QString TfCouCodeQre::Prefix() const
{
    if (rdDernier->Value())
        return QStringLiteral("QQD");
    if (rdQSD->Value())
        return QStringLiteral("QSD");
    return QStringLiteral("QQC");
}

std::unique_ptr<TCQuestion> TfCouCodeQre::LoadQuestion(int code)
{
    auto question = std::make_unique<TCQuestion>();
    question->Charger(code, true);
    return question;
}

void TfCouCodeQre::urlQBClick()
{
    RunGuarded(QStringLiteral("TfCouCodeQre.urlQBClick"),
               [this] { Insert(u'£' + StringManager->After(QStringLiteral("£"), urlQB->Caption())); });
}

void TfCouCodeQre::urlQEClick()
{
    RunGuarded(QStringLiteral("TfCouCodeQre.urlQEClick"), [this] { Insert(QStringLiteral("QE")); });
}

void TfCouCodeQre::lvQonDblClick()
{
    RunGuarded(QStringLiteral("TfCouCodeQre.lvQonDblClick"), [this] { InsertAnswerCode(); });
}

void TfCouCodeQre::InsertAnswerCode()
{
    const QTreeWidgetItem *item = lvQon->currentItem();
    if (!item || !item->isSelected() || !ListItemData(item))
        return;
    const QString prefix = Prefix();
    const int code = ListItemData(item)->Value;
    // The caption as shown: the user may have edited it in place.
    const QString caption = item->text(0);

    std::unique_ptr<TCQuestion> question;
    QString body;
    if (chkMnemonique->Value()) {
        question = LoadQuestion(code);
        const QString mnemonic = StringManager->CollapseBlanks(question->unique_id);
        if (!mnemonic.isEmpty())
            body = prefix + u'_' + mnemonic + QStringLiteral(" : ");
    }
    if (body.isEmpty())
        body = AnswerBody(prefix, code, caption);
    if (!question)
        question = LoadQuestion(code);
    QString text = AnswerCode(body, question->type_question);
    if (chkInclure->Value())
        text.prepend(caption + QStringLiteral(" : "));

    if (chkRemplacement->Value()) {
        if (question->type_question == 2) {
            auto dialog = std::make_unique<TfCouQonRemplacement>(this);
            dialog->Question = question.get();
            if (dialog->exec() != QDialog::Accepted || dialog->Resultat.isEmpty())
                return;
            text = u'{' + text + u'}' + dialog->Resultat;
            if (dialog->chkModeEtendu->isChecked())
                text.prepend(u'+');
        } else {
            MsgBox(this, QStringLiteral("L'aide aux remplacements n'est disponible que pouyr les questions à modalités"),
                   QStringLiteral("*APP*"), mfOk);
        }
    }
    Insert(text);
}

void TfCouCodeQre::urlInsererToutClick()
{
    RunGuarded(QStringLiteral("TfCouCodeQre.urlInsererToutClick"), [this] {
        QString prefix = QStringLiteral("QQC");
        if (rdDernier->Value())
            prefix = QStringLiteral("QQD");
        else if (rdQSD->Value())
            prefix = QStringLiteral("QSD");
        // The label comes from the database, not from the (editable) row.
        QString text;
        for (int row = 0; row < lvQon->topLevelItemCount(); ++row) {
            const TListItemData *data = ListItemData(lvQon->topLevelItem(row));
            if (!data)
                continue;
            // Only the label goes into the text: the modalities are not read.
            auto question = std::make_unique<TCQuestion>();
            question->Charger(data->Value, false);
            text += u'£' + question->libelle + QStringLiteral(" : [") + prefix + QString::number(data->Value) + u':' +
                    question->libelle + QStringLiteral("]#") + LineBreak();
        }
        if (!text.isEmpty())
            Insert(text);
    });
}
