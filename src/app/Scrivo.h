// The main window: a small always-on-top tool window beside the word processor. Its
// left column holds one button per code category; the right-hand area hosts one
// picker form at a time, as its TPickerHost: the pickers read the run's state through
// it (template variables, questionnaire identifier) and hand it their codes, which it
// sends down the insertion road to the target of insertion; Ctrl+F hosts the search
// over every category, which it also shows when no category is hosted. It folds down
// to a single button, runs the start-up sequence after its first activation and ends
// the program once the target window, after having been seen, is gone.
#pragma once

#include "app/InsertionTarget.h"
#include "pickers/PickerHost.h"

#include <QStringList>
#include <QWidget>

#include <memory>

class QIcon;
class TInsertionRoad;
class QLabel;
class QPushButton;
class QSplitter;
class QTimer;

class TfScrivo : public QWidget, public TPickerHost {
    Q_OBJECT

public:
    explicit TfScrivo(QWidget *parent = nullptr);
    ~TfScrivo() override;

    bool FFirstActivation = false;
    /// First command-line argument, quotes removed.
    QString FFirstArgument;
    /// Target of insertion: a document file name, or "-app=<title>" / "-hwnd=<handle>",
    /// decoded when set.
    TInsertionTarget FTarget;
    /// The road the codes go down to the target (not owned); none: nothing is inserted.
    TInsertionRoad *FInsertionRoad = nullptr;
    int FSavedWidth = 0;
    int FSavedHeight = 0;
    /// Set by the close timer the first time it finds the target window.
    bool FTargetSeen = false;
    /// Template variable names, one per line of the variables file.
    std::unique_ptr<QStringList> FVariables;
    /// Questionnaire identifier given by "-qre="; 0 when absent.
    int FQuestionnaireId = 0;
    /// The program's arguments, program first (QCoreApplication::arguments() unless a
    /// test sets others before the start-up runs).
    QStringList FArguments;
    /// The codes handed to the insertion road since the start, oldest first.
    QStringList FInsertedCodes;
    /// Set once the program is ending (by this window, or the application asked to
    /// quit): waits still running stop at once and show nothing more.
    bool FEndRequested = false;

    QWidget *panelBouton = nullptr;
    QSplitter *splitV = nullptr;
    QWidget *Panel1 = nullptr;
    QWidget *panelHost = nullptr;
    QPushButton *bUnFold = nullptr;
    QLabel *panelCnx = nullptr;
    QTimer *TimerStart = nullptr;
    QTimer *TimerClose = nullptr;

    QPushButton *bSignalitique = nullptr;
    QPushButton *bCollateraux = nullptr;
    QPushButton *bQuestionnaire = nullptr;
    QPushButton *bAntecedent = nullptr;
    QPushButton *bOrdo = nullptr;
    QPushButton *bDivers = nullptr;
    QPushButton *bMedecin = nullptr;
    QPushButton *bCorresp = nullptr;
    QPushButton *bPmsi = nullptr;
    QPushButton *bVariable = nullptr;
    QPushButton *bFold = nullptr;

    /// Hosts a picker form of class `formClass` in panelHost, replacing the one there
    /// unless it already is of that class. The class needs a Q_INVOKABLE constructor
    /// taking its host (TPickerHost *).
    void ShowPicker(const QMetaObject *formClass);
    /// Hosts the search over every category (Ctrl+F), its field focused and selected;
    /// unfolds the window first when it is folded.
    void ShowCodeSearch();
    void FoldWindow();
    void UnfoldWindow();
    /// The start-up sequence, run once from TimerStart.
    void StartUp();

    // What the hosted pickers see of this window.
    void InsertCode(const QString &code) override;
    const QStringList *Variables() const override { return FVariables.get(); }
    int QuestionnaireId() const override { return FQuestionnaireId; }
    const QStringList &InsertedCodes() const override { return FInsertedCodes; }
    QWidget *OwnerWindow() override { return this; }
    /// Shows what the insertion road waits for in the status panel; empty hides it.
    void ShowRoadStatus(const QString &text);

    void FormCreate();
    void FormActivate();
    void TimerStartTimer();
    void TimerCloseTimer();
    void bFoldClick();
    void bUnFoldClick();
    void bSignalitiqueClick();
    void bCollaterauxClick();
    void bQuestionnaireClick();
    void bAntecedentClick();
    void bOrdoClick();
    void bDiversClick();
    void bMedecinClick();
    void bCorrespClick();
    void bPmsiClick();
    void bVariableClick();

signals:
    /// Emitted when the window ends the program (the application then quits).
    void ProgramEnding();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QPushButton *AddCategoryButton(const char *name, const QString &caption, int top,
                                   void (TfScrivo::*handler)());
    void SetStatus(const QString &text);
    /// Gives the keyboard focus to the first control of the hosted picker `form`.
    void FocusPicker(QWidget *form);
    void EndProgram();

    // Steps of StartUp; each false when the program cannot go on.
    bool LoadParameters();
    bool ConnectToDatabase();
    bool LoadReferenceData();
    void OpenTarget();
    void LoadVariables();
    void ChooseFoldState();
};

/// Scrivo's icon at every size it is drawn at: the main window's, and (set on the
/// application) that of every dialog.
QIcon ScrivoIcon();

/// The main window, while it exists.
extern TfScrivo *fScrivo;

/// Inserts `code` into the target document of `window`, down the road it was given, and
/// tells the user when it could not. A code that does not begin with "£" is inserted as
/// "£" + code + "#". True when it was inserted, or waits to follow the code before it.
bool InsertCode(TfScrivo *window, const QString &code);
