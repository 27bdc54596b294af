#pragma once

#include <QMainWindow>
#include <QPointer>
#include <memory>

class DrawScreen;
class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class Timer;
struct ProgramState;
struct Services;

// The multiple-document main window: the menu tree, the one-screen-at-a-time rule, the roster
// file commands, and the only way out of the program (ﾌｧｲﾙ → 終了(&X)).
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(ProgramState& state, Services& services, QWidget* parent = nullptr);
    ~MainWindow() override;

    static QString ProductName() { return QStringLiteral("ミルダ"); }
    static QString VersionText() { return QStringLiteral("Ver 1.1.0  2011/3/25"); }

    // The open child screen, or null.
    QWidget* ChildScreen() const;
    QMdiArea* MdiArea() const { return m_mdi; }

    // Menu commands.
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileSave_Click();
    void mnuFileSaveAs_Click();
    void mnuFileImport_Click();
    void mnuFileExport_Click();
    void mnuFilePrint_Click();
    void mnuFileExit_Click();
    void mnuToolsOptions_Click();
    void mnu開始_Click();
    void mnu通常_Click();
    void mnu簡易_Click();
    void mnu終了_Click();
    void mnu全画面_Click();
    void mnuHelp_Click();

    // The 1200 ms monitor: menus come back once the child screen has closed by its own means.
    void tmMenu監視_Timer();

    // false when no child screen is open; otherwise tells the user and returns true.
    bool CheckNoChildScreen();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    enum class ScreenKind { Registration, CardIssue, GameSettings, Draw };
    void OpenScreen(ScreenKind kind);
    void OpenRegistrationScreen() { OpenScreen(ScreenKind::Registration); }
    void OpenCardIssueScreen() { OpenScreen(ScreenKind::CardIssue); }
    void OpenGameSettingsScreen() { OpenScreen(ScreenKind::GameSettings); }
    void OpenDrawScreen() { OpenScreen(ScreenKind::Draw); }
    void BuildMenus();
    QAction* AddAction(QMenu* menu, const char* name, const QString& caption);
    bool AskUnsavedOnExit();
    QString RosterFilters() const;
    // Asks before a file that plainly is not a roster is opened and named in the settings.
    bool ConfirmOpeningFile(const QString& path);
    // Saves the roster (offering to replace characters the file cannot hold) and, when it was
    // written, the settings.
    bool SaveRosterAndSettings();

    ProgramState& m_state;
    Services& m_services;
    QMdiArea* m_mdi = nullptr;
    QPointer<QMdiSubWindow> m_child;
    std::unique_ptr<Timer> m_monitor;
    bool m_exitRequested = false;

    QMenu* m_mnuFile = nullptr;
    QAction* m_mnuFileAction = nullptr;
    QAction* m_mnuToolsOptions = nullptr;
    QMenu* m_mnu抽選 = nullptr;
    QAction* m_mnu抽選Action = nullptr;
    QAction* m_mnu開始 = nullptr;
    QAction* m_mnu通常 = nullptr;
    QAction* m_mnu簡易 = nullptr;
    QAction* m_mnu終了 = nullptr;
    QAction* m_mnu全画面 = nullptr;
    QAction* m_mnu全画面戻す = nullptr; // Esc: the draw screen back from full screen
    QPointer<DrawScreen> m_drawScreen;
    QAction* m_mnuHelp = nullptr;
};
