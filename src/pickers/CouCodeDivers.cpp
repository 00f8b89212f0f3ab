#include "CouCodeDivers.h"

#include "WrkInputText.h"
#include "support/LumoUrl.h"
#include "support/WrkGraphics.h"

#include <QGroupBox>

namespace {
const QString LastConsultation = QStringLiteral("Insère le contenu de la dernière consultation");
const QString LastSynthesis = QStringLiteral("Insère le contenu de la dernière synthèse");
} // namespace

TfCouCodeDivers::TfCouCodeDivers(TPickerHost *host)
    : TfLinkPickerForm(host, QStringLiteral("Codes Divers"), QSize(434, 355))
{
    GroupBox2 = AddGroupBox("GroupBox2", QStringLiteral(" Divers "), QRect(1, 4, 197, 82));
    AddGeneralLinks(GroupBox2);

    GroupBox1 = AddGroupBox("GroupBox1", QStringLiteral("Question et nsérer réponse "), QRect(2, 87, 197, 81));
    urlQuestionZC = AddHandlerLink(GroupBox1, "urlQuestionZC", QStringLiteral("question texte libre"), QString(), QRect(8, 14, 150, 17), &TfCouCodeDivers::urlQuestionZCClick);
    urlQuestionZN = AddHandlerLink(GroupBox1, "urlQuestionZN", QStringLiteral("question numérique"), QString(), QRect(8, 37, 150, 17), &TfCouCodeDivers::urlQuestionZCClick, 1);
    urlQuestionZD = AddHandlerLink(GroupBox1, "urlQuestionZD", QStringLiteral("question date"), QString(), QRect(8, 60, 150, 17), &TfCouCodeDivers::urlQuestionZCClick, 2);
    for (TLumoUrl *question : {urlQuestionZC, urlQuestionZN, urlQuestionZD}) {
        if (fWrkGraphics)
            question->SetPicture(fWrkGraphics->QuestionPicture());
        AsksBeforeInserting(question); // the question's text
    }

    GroupBox3 = AddGroupBox("GroupBox3", QStringLiteral(" Semaine d'Aménorrhée "), QRect(2, 168, 197, 88));
    urlSASA = AddHandlerLink(GroupBox3, "urlSASA", QStringLiteral("Semaines d'Aménorrhée"), QString(), QRect(8, 12, 150, 25), &TfCouCodeDivers::urlSASAClick, 1);
    urlSaDdr = AddHandlerLink(GroupBox3, "urlSaDdr", QStringLiteral("Date des dernières Règles"), QString(), QRect(8, 36, 150, 25), &TfCouCodeDivers::urlSASAClick, 2);
    urlSaDdg = AddHandlerLink(GroupBox3, "urlSaDdg", QStringLiteral("Date début de Grossesse"), QString(), QRect(8, 60, 150, 25), &TfCouCodeDivers::urlSASAClick, 3);

    GroupBox4 = AddGroupBox("GroupBox4", QStringLiteral("Modèles d'Ordonnances "), QRect(200, 4, 225, 82));
    urlO1 = AddCaptionCodeLink(GroupBox4, "urlO1", QStringLiteral("Insérer £Ord : tout#"), QStringLiteral("Insère toutes les prescriptions"), 14);
    urlO2 = AddCaptionCodeLink(GroupBox4, "urlO2", QStringLiteral("Insérer £Ord : ald#"), QStringLiteral("Insère les prescriptions ALD"), 37);
    urlO3 = AddCaptionCodeLink(GroupBox4, "urlO3", QStringLiteral("Insérer £Ord : non ald#"), QStringLiteral("Insère les prescriptions non ALD"), 60);

    GroupBox5 = AddGroupBox("GroupBox5", QStringLiteral(" Rappel d'ordonnance dans un courrier "), QRect(200, 87, 225, 81));
    urlDDO = AddCaptionCodeLink(GroupBox5, "urlDDO", QStringLiteral("Insérer £DDO#"), QStringLiteral("Rapelle la dernière Ordonnance"), 24);
    urlDCO = AddCaptionCodeLink(GroupBox5, "urlDCO", QStringLiteral("Insérer £DCO#"), QStringLiteral("Rapelle une ordonnance à choisir"), 48);

    GroupBox6 = AddGroupBox("GroupBox6", QStringLiteral(" FT : Multi-patients "), QRect(200, 168, 225, 88));
    utlNoPage = AddFixedCodeLink(GroupBox6, "utlNoPage", QStringLiteral("Numéro de page"), QString(), QRect(8, 24, 150, 17), QStringLiteral("£DNO: No Page#"));
    urlNbPage = AddFixedCodeLink(GroupBox6, "urlNbPage", QStringLiteral("Nombre de page"), QString(), QRect(8, 48, 150, 17), QStringLiteral("£DNB: Nbre Page#"));

    GroupBox8 = AddGroupBox("GroupBox8", QStringLiteral(" Recette"), QRect(2, 256, 424, 43));
    urlRctDate = AddFixedCodeLink(GroupBox8, "urlRctDate", QStringLiteral("Date de la recette"), LastSynthesis, QRect(8, 18, 111, 17), QStringLiteral("£[RCD : date]#"));
    urlRctDates = AddFixedCodeLink(GroupBox8, "urlRctDates", QStringLiteral("Dates des actes"), LastConsultation, QRect(127, 18, 98, 17), QStringLiteral("£[RCD : dates]#"));
    urlRctActes = AddFixedCodeLink(GroupBox8, "urlRctActes", QStringLiteral("Actes"), LastConsultation, QRect(233, 18, 55, 17), QStringLiteral("£[RCD : actes]#"));
    urlRctMontants = AddFixedCodeLink(GroupBox8, "urlRctMontants", QStringLiteral("Montants"), LastConsultation, QRect(296, 18, 80, 17), QStringLiteral("£[RCD : montants]#"));

    GroupBox7 = AddGroupBox("GroupBox7", QStringLiteral(" Autres "), QRect(2, 304, 424, 38));
    urlDDC = AddFixedCodeLink(GroupBox7, "urlDDC", QStringLiteral("Insérer dernière consultation"), LastConsultation, QRect(8, 16, 165, 17), QStringLiteral("£DDC#"));
    urlDDS = AddFixedCodeLink(GroupBox7, "urlDDS", QStringLiteral("Insérer dernière synthèse"), LastSynthesis, QRect(212, 16, 165, 17), QStringLiteral("£DDS : synthese#"));

    labelVersion = AddVersionLabel(5, 342);
    FitGroupBoxesIntoFrames();
}


void TfCouCodeDivers::urlQuestionZCClick(TLumoUrl *sender)
{
    int result = 0;
    QString answer;
    InputText(QStringLiteral("Question posé à l'utilisateur"), QStringLiteral("Entrez le libellé de la question : "),
              result, QString(), false, true, true, answer);
    if (result != 1 || answer.isEmpty())
        return;
    static const char *const letters[] = {"ZC", "ZN", "ZD"};
    if (sender->Tag < 0 || sender->Tag > 2)
        return;
    Insert(u'£' + QLatin1String(letters[sender->Tag]) + u':' + answer + u'#');
}

void TfCouCodeDivers::urlSASAClick(TLumoUrl *sender)
{
    static const char *const keys[] = {"sa", "ddr", "ddg"};
    if (sender->Tag < 1 || sender->Tag > 3)
        return;
    Insert(QStringLiteral("£SH : ") + QLatin1String(keys[sender->Tag - 1]) + u'#');
}
