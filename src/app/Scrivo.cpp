#include "Scrivo.h"

#include "CodeInsertion.h"
#include "pickers/CouCodeAntecedent.h"
#include "pickers/CouCodeCollateraux.h"
#include "pickers/CouCodeCorresp.h"
#include "pickers/CouCodeDivers.h"
#include "pickers/CouCodeMedecin.h"
#include "pickers/CouCodeOrdo.h"
#include "pickers/CouCodePmsi.h"
#include "pickers/CouCodeQre.h"
#include "pickers/CouCodeRecherche.h"
#include "pickers/CouCodeSignaletique.h"
#include "pickers/CouVariable.h"
#include "support/Anchors.h"
#include "support/CAppNames.h"
#include "support/DesignFont.h"
#include "support/NestedLoop.h"
#include "support/ReadingOrder.h"
#include "support/StrMan.h"
#include "support/WinTools.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QShortcut>
#include <QSplitter>
#include <QTimer>

TfScrivo *fScrivo = nullptr;

namespace {

constexpr int DesignClientWidth = 587;
constexpr int DesignClientHeight = 377;
constexpr int ButtonColumnWidth = 109;
constexpr int SplitterWidth = 5;
constexpr int ButtonWidth = 105;
constexpr int ButtonHeight = 33;

} // namespace

QIcon ScrivoIcon()
{
    QIcon icon;
    for (const QFileInfo &rendering : QDir(QStringLiteral(":/icons")).entryInfoList({QStringLiteral("scrivo-*.png")}))
        icon.addFile(rendering.filePath());
    return icon;
}

TfScrivo::TfScrivo(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , FArguments(QCoreApplication::arguments())
{
    setObjectName(QStringLiteral("fScrivo"));
    setWindowTitle(QStringLiteral("Insertion des Codes Courriers"));
    setWindowIcon(ScrivoIcon());
    setFont(DesignFont());
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    // The link tooltips explain the codes; after each insertion the document is the
    // active window, and Qt shows tooltips only over the active one unless told.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    resize(DesignClientWidth, DesignClientHeight);
    move(323, 0);

    splitV = new QSplitter(Qt::Horizontal, this);
    splitV->setObjectName(QStringLiteral("splitV"));
    splitV->setHandleWidth(SplitterWidth);
    splitV->setChildrenCollapsible(false);
    splitV->setGeometry(rect());
    SetAnchors(splitV, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);

    panelBouton = new QWidget(splitV);
    panelBouton->setObjectName(QStringLiteral("panelBouton"));
    panelBouton->resize(ButtonColumnWidth, DesignClientHeight);
    Panel1 = new QWidget(splitV);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    splitV->setSizes({ButtonColumnWidth, DesignClientWidth - ButtonColumnWidth - SplitterWidth});
    splitV->setStretchFactor(1, 1);

    panelHost = new QWidget(Panel1);
    panelHost->setObjectName(QStringLiteral("panelHost"));
    panelHost->setGeometry(Panel1->rect());
    Panel1->resize(DesignClientWidth - ButtonColumnWidth - SplitterWidth, DesignClientHeight);
    panelHost->resize(Panel1->size());
    SetAnchors(panelHost, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);

    // Buttons 33 high, 32 pixels apart: neighbours overlap by one pixel.
    bSignalitique = AddCategoryButton("bSignalitique", QStringLiteral("&Signalitique"), 0, &TfScrivo::bSignalitiqueClick);
    bCollateraux = AddCategoryButton("bCollateraux", QStringLiteral("&Collateraux"), 32, &TfScrivo::bCollaterauxClick);
    bQuestionnaire = AddCategoryButton("bQuestionnaire", QStringLiteral("&Questionnaire"), 64, &TfScrivo::bQuestionnaireClick);
    bAntecedent = AddCategoryButton("bAntecedent", QStringLiteral("&Antécédents"), 96, &TfScrivo::bAntecedentClick);
    bOrdo = AddCategoryButton("bOrdo", QStringLiteral("&Ordonnance"), 128, &TfScrivo::bOrdoClick);
    bDivers = AddCategoryButton("bDivers", QStringLiteral("&Divers"), 160, &TfScrivo::bDiversClick);
    bMedecin = AddCategoryButton("bMedecin", QStringLiteral("&Médecins"), 192, &TfScrivo::bMedecinClick);
    bCorresp = AddCategoryButton("bCorresp", QStringLiteral("Co&rrespondants"), 224, &TfScrivo::bCorrespClick);
    bPmsi = AddCategoryButton("bPmsi", QStringLiteral("&Pmsi"), 256, &TfScrivo::bPmsiClick);
    bVariable = AddCategoryButton("bVariable", QStringLiteral("&Variables"), 288, &TfScrivo::bVariableClick);
    bVariable->hide();
    bFold = AddCategoryButton("bFold", QStringLiteral("&Fermer"), 335, &TfScrivo::bFoldClick);
    bFold->resize(ButtonColumnWidth, ButtonHeight);
    SetAnchors(bFold, Qt::LeftEdge | Qt::BottomEdge);

    // Tab follows the screen: the buttons top to bottom, then the hosted picker.
    ChainTabOrder(bSignalitique, {bCollateraux, bQuestionnaire, bAntecedent, bOrdo, bDivers, bMedecin, bCorresp,
                                  bPmsi, bVariable, bFold});

    bUnFold = new QPushButton(QStringLiteral("&Insértion"), this);
    bUnFold->setObjectName(QStringLiteral("bUnFold"));
    bUnFold->setGeometry(0, 0, ButtonWidth, ButtonHeight);
    bUnFold->hide();
    connect(bUnFold, &QPushButton::clicked, this, &TfScrivo::bUnFoldClick);

    panelCnx = new QLabel(QStringLiteral("Connexion en cours ....."), this);
    panelCnx->setObjectName(QStringLiteral("panelCnx"));
    panelCnx->setGeometry(60, 116, 488, 129);
    panelCnx->setAlignment(Qt::AlignCenter);
    panelCnx->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panelCnx->setAutoFillBackground(true);
    SetAnchors(panelCnx, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge);

    TimerStart = new QTimer(this);
    TimerStart->setObjectName(QStringLiteral("TimerStart"));
    TimerStart->setInterval(250);
    connect(TimerStart, &QTimer::timeout, this, &TfScrivo::TimerStartTimer);
    TimerClose = new QTimer(this);
    TimerClose->setObjectName(QStringLiteral("TimerClose"));
    TimerClose->setInterval(2000);
    connect(TimerClose, &QTimer::timeout, this, &TfScrivo::TimerCloseTimer);

    auto *search = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    search->setObjectName(QStringLiteral("shortcutRecherche"));
    connect(search, &QShortcut::activated, this, &TfScrivo::ShowCodeSearch);

    // The end may also come from outside (a termination signal quits the application).
    QCoreApplication::instance()->installEventFilter(this);
    fScrivo = this;
    FormCreate();
}

TfScrivo::~TfScrivo()
{
    if (fScrivo == this)
        fScrivo = nullptr;
}

QPushButton *TfScrivo::AddCategoryButton(const char *name, const QString &caption, int top,
                                         void (TfScrivo::*handler)())
{
    auto *button = new QPushButton(caption, panelBouton);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(0, top, ButtonWidth, ButtonHeight);
    connect(button, &QPushButton::clicked, this, handler);
    return button;
}

bool TfScrivo::event(QEvent *event)
{
    // The form counts as activated when it is first shown, even if the window manager
    // leaves the keyboard focus elsewhere (a tool window often does not get it).
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)
        FormActivate();
    return QWidget::event(event);
}

bool TfScrivo::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit)
        FEndRequested = true;
    return QWidget::eventFilter(watched, event);
}

void TfScrivo::closeEvent(QCloseEvent *event)
{
    // A tool window does not count as the application's last window: closing it by
    // its title bar must still end the program.
    event->accept();
    EndProgram();
}

void TfScrivo::EndProgram()
{
    FEndRequested = true;
    emit ProgramEnding();
    QCoreApplication::quit();
}

void TfScrivo::FormCreate()
{
    FFirstActivation = true;
}

void TfScrivo::FormActivate()
{
    if (!FFirstActivation)
        return;
    FFirstActivation = false;
    TimerStart->setSingleShot(true);
    TimerStart->start();
}

void TfScrivo::TimerStartTimer()
{
    TimerStart->stop();
    StartUp();
    TimerClose->start();
}

void TfScrivo::SetStatus(const QString &text)
{
    panelCnx->setText(text);
    panelCnx->repaint();
}

void TfScrivo::InsertCode(const QString &code)
{
    // A code waiting behind another counts as inserted: it follows unless that one fails.
    if (::InsertCode(this, code))
        FInsertedCodes.append(code);
}

void TfScrivo::ShowCodeSearch()
{
    if (bUnFold->isVisible())
        UnfoldWindow();
    ShowPicker(&TfCouCodeRecherche::staticMetaObject);
    if (auto *search = panelHost->findChild<TfCouCodeRecherche *>(QString(), Qt::FindDirectChildrenOnly))
        search->FocusSearch();
}

void TfScrivo::ShowRoadStatus(const QString &text)
{
    SetStatus(text);
    panelCnx->setVisible(!text.isEmpty());
    panelCnx->raise();
}

bool InsertCode(TfScrivo *window, const QString &code)
{
    TInsertionRoad *road = window->FInsertionRoad;
    if (!road)
        return false;
    QObject::connect(road, &TInsertionRoad::StatusChanged, window, &TfScrivo::ShowRoadStatus, Qt::UniqueConnection);
    const TInsertionRoad::TAnswer answer = road->InsertCode(window->FTarget, code, window->FEndRequested);
    if (answer.Result == TInsertionRoad::TResult::Told && !window->FEndRequested)
        MsgBox(answer.MessageOwned ? window : nullptr, answer.Message, QStringLiteral("*APP*"), mfOk);
    return answer.Result == TInsertionRoad::TResult::Inserted || answer.Result == TInsertionRoad::TResult::Queued;
}

void TfScrivo::ShowPicker(const QMetaObject *formClass)
{
    if (!formClass)
        return;
    const QList<QWidget *> hosted = panelHost->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    if (!hosted.isEmpty()) {
        QWidget *previous = hosted.first();
        if (previous->metaObject()->inherits(formClass)) {
            FocusPicker(previous);
            return;
        }
        // A handler of that picker may be waiting below (an insertion waiting for the
        // document to take the focus): it is taken out of the host and deleted once
        // that wait is over.
        if (TNestedLoop::Running()) {
            previous->hide();
            previous->setParent(this);
        }
        TNestedLoop::DeleteAfter(previous);
    }
    QObject *created = formClass->newInstance(Q_ARG(TPickerHost *, this));
    auto *form = qobject_cast<QWidget *>(created);
    if (!form) {
        delete created;
        qWarning("ShowPicker: %s cannot be created with an owner", formClass->className());
        return;
    }
    form->hide();
    form->setWindowFlags(Qt::Widget | Qt::FramelessWindowHint);
    form->setParent(panelHost);
    form->setGeometry(panelHost->rect());
    SetAnchors(form, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);
    form->show();
    // After the last button, Tab goes through the picker in reading order.
    ChainTabOrder(bFold, TabControlsInReadingOrder(form));
    FocusPicker(form);
}

void TfScrivo::FocusPicker(QWidget *form)
{
    // The category's button (or its Alt letter) hands the keyboard to its picker.
    for (QWidget *control : TabControlsInReadingOrder(form))
        if (control->isEnabled() && control->isVisibleTo(form)) {
            control->setFocus(Qt::TabFocusReason);
            return;
        }
}

void TfScrivo::FoldWindow()
{
    FSavedWidth = frameGeometry().width();
    FSavedHeight = frameGeometry().height();
    resize(bUnFold->width() + 1, bUnFold->height() + 1);
    panelBouton->setEnabled(false);
    bUnFold->show();
    bUnFold->raise();
}

void TfScrivo::UnfoldWindow()
{
    bUnFold->hide();
    panelBouton->setEnabled(true);
    const int frameWidth = frameGeometry().width() - width();
    const int frameHeight = frameGeometry().height() - height();
    resize(FSavedWidth - frameWidth, FSavedHeight - frameHeight);
}

void TfScrivo::bUnFoldClick()
{
    UnfoldWindow();
}

void TfScrivo::bFoldClick()
{
    // The target is decoded as insertion does, so "-app=" and "-hwnd=" targets fold too.
    if (FInsertionRoad && FInsertionRoad->ActivateTarget(FTarget))
        FoldWindow();
    else
        EndProgram();
}

void TfScrivo::TimerCloseTimer()
{
    TimerClose->stop();
    bool reenable = true;
    const auto restart = qScopeGuard([this, &reenable] {
        if (reenable)
            TimerClose->start();
    });

    if (FInsertionRoad && FInsertionRoad->TargetExists(FTarget)) {
        FTargetSeen = true;
        return;
    }
    if (!FTargetSeen)
        return; // the word processor may still be starting

    // A loader may be running below this tick (a statement waiting before its retry, a
    // message box of its own): the doctor and reference lists and the variables are
    // freed once the event loop has returned, with the process objects and the window.
    reenable = false;
    EndProgram();
}

// Each category button hosts its picker.
void TfScrivo::bSignalitiqueClick() { ShowPicker(&TfCouCodeSignaletique::staticMetaObject); }
void TfScrivo::bCollaterauxClick() { ShowPicker(&TfCouCodeCollateraux::staticMetaObject); }
void TfScrivo::bQuestionnaireClick() { ShowPicker(&TfCouCodeQre::staticMetaObject); }
void TfScrivo::bAntecedentClick() { ShowPicker(&TfCouCodeAntecedent::staticMetaObject); }
void TfScrivo::bOrdoClick() { ShowPicker(&TfCouCodeOrdo::staticMetaObject); }
void TfScrivo::bDiversClick() { ShowPicker(&TfCouCodeDivers::staticMetaObject); }
void TfScrivo::bMedecinClick() { ShowPicker(&TfCouCodeMedecin::staticMetaObject); }
void TfScrivo::bCorrespClick() { ShowPicker(&TfCouCodeCorresp::staticMetaObject); }
void TfScrivo::bPmsiClick() { ShowPicker(&TfCouCodePmsi::staticMetaObject); }
void TfScrivo::bVariableClick() { ShowPicker(&TfCouVariable::staticMetaObject); }
