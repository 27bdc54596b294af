#include "ui/app/mainwindow.h"

#include "core/common/timing.h"
#include "core/config/settingsfile.h"
#include "core/programstate.h"
#include "core/roster/rosterfile.h"
#include "ui/app/childscreen.h"
#include "ui/app/dialogs.h"
#include "ui/app/helpviewer.h"
#include "ui/app/services.h"
#include "ui/cards/cardissuescreen.h"
#include "ui/draw/drawscreen.h"
#include "ui/registration/registrationscreen.h"
#include "ui/settings/gamesettingsscreen.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

MainWindow::MainWindow(ProgramState& state, Services& services, QWidget* parent)
    : QMainWindow(parent), m_state(state), m_services(services) {
    setObjectName(QStringLiteral("frmMain"));
    // No system menu and no close box: the program ends only through ﾌｧｲﾙ → 終了(&X).
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(ProductName() + u'(' + VersionText() + u')');
    m_exitRequested = false;

    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    m_mdi->setBackground(QColor(171, 171, 171));
    setCentralWidget(m_mdi);
    BuildMenus();

    m_monitor = m_services.clock.CreateTimer();
    m_monitor->SetInterval(1200);
    m_monitor->SetCallback([this] { tmMenu監視_Timer(); });
    m_monitor->Start();
    resize(1200, 800);
}

MainWindow::~MainWindow() = default;

QAction* MainWindow::AddAction(QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromUtf8(name));
    return action;
}

void MainWindow::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));

    m_mnuFile = bar->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    m_mnuFile->setObjectName(QStringLiteral("mnuFile"));
    m_mnuFileAction = m_mnuFile->menuAction();
    m_mnuFileAction->setObjectName(QStringLiteral("mnuFileAction"));
    connect(AddAction(m_mnuFile, "mnuFileNew", QStringLiteral("新規作成(&N)")), &QAction::triggered, this,
            &MainWindow::mnuFileNew_Click);
    QAction* open = AddAction(m_mnuFile, "mnuFileOpen", QStringLiteral("開く(&O)..."));
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(open, &QAction::triggered, this, &MainWindow::mnuFileOpen_Click);
    m_mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuFileBar0"));
    connect(AddAction(m_mnuFile, "mnuFileSave", QStringLiteral("上書き保存(&S)")), &QAction::triggered, this,
            &MainWindow::mnuFileSave_Click);
    connect(AddAction(m_mnuFile, "mnuFileSaveAs", QStringLiteral("名前を付けて保存(&A)...")),
            &QAction::triggered, this, &MainWindow::mnuFileSaveAs_Click);
    connect(AddAction(m_mnuFile, "mnuFileImport", QStringLiteral("インポート(&I)...")), &QAction::triggered,
            this, &MainWindow::mnuFileImport_Click);
    connect(AddAction(m_mnuFile, "mnuFileExport", QStringLiteral("エクスポート(&E)...")), &QAction::triggered,
            this, &MainWindow::mnuFileExport_Click);
    m_mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuFileBar1"));
    connect(AddAction(m_mnuFile, "mnuFilePrint", QStringLiteral("ビンゴカード発行(&P)...")),
            &QAction::triggered, this, &MainWindow::mnuFilePrint_Click);
    m_mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuFileBar3"));
    connect(AddAction(m_mnuFile, "mnuFileExit", QStringLiteral("終了(&X)")), &QAction::triggered, this,
            &MainWindow::mnuFileExit_Click);

    m_mnuToolsOptions = bar->addAction(QStringLiteral("設定"));
    m_mnuToolsOptions->setObjectName(QStringLiteral("mnuToolsOptions"));
    connect(m_mnuToolsOptions, &QAction::triggered, this, &MainWindow::mnuToolsOptions_Click);

    m_mnu抽選 = bar->addMenu(QStringLiteral("抽選"));
    m_mnu抽選->setObjectName(QStringLiteral("mnu抽選"));
    m_mnu抽選Action = m_mnu抽選->menuAction();
    m_mnu抽選Action->setObjectName(QStringLiteral("mnu抽選Action"));
    m_mnu開始 = AddAction(m_mnu抽選, "mnu開始", QStringLiteral("開始"));
    connect(m_mnu開始, &QAction::triggered, this, &MainWindow::mnu開始_Click);
    m_mnu抽選->addSeparator()->setObjectName(QStringLiteral("B1"));
    m_mnu通常 = AddAction(m_mnu抽選, "mnu通常", QStringLiteral("通常抽選"));
    m_mnu通常->setCheckable(true);
    m_mnu通常->setChecked(true);
    connect(m_mnu通常, &QAction::triggered, this, &MainWindow::mnu通常_Click);
    m_mnu簡易 = AddAction(m_mnu抽選, "mnu簡易", QStringLiteral("簡易抽選"));
    m_mnu簡易->setCheckable(true);
    connect(m_mnu簡易, &QAction::triggered, this, &MainWindow::mnu簡易_Click);
    m_mnu抽選->addSeparator()->setObjectName(QStringLiteral("b2"));
    m_mnu終了 = AddAction(m_mnu抽選, "mnu終了", QStringLiteral("終了"));
    connect(m_mnu終了, &QAction::triggered, this, &MainWindow::mnu終了_Click);
    // Beyond the design: the draw screen full screen on the projector.
    m_mnu抽選->addSeparator()->setObjectName(QStringLiteral("b3"));
    // It switches, from the main window as from the draw screen: with the draw full screen on the
    // projector, the operator at the laptop takes it back with F11 or Esc (or the menu again).
    m_mnu全画面 = AddAction(m_mnu抽選, "mnu全画面", QStringLiteral("全画面表示"));
    m_mnu全画面->setCheckable(true);
    m_mnu全画面->setShortcut(QKeySequence(Qt::Key_F11));
    m_mnu全画面->setShortcutContext(Qt::WindowShortcut);
    m_mnu全画面->setAutoRepeat(false);
    m_mnu全画面->setEnabled(false);
    connect(m_mnu全画面, &QAction::triggered, this, &MainWindow::mnu全画面_Click);
    m_mnu全画面戻す = new QAction(this);
    m_mnu全画面戻す->setObjectName(QStringLiteral("mnu全画面戻す"));
    m_mnu全画面戻す->setShortcut(QKeySequence(Qt::Key_Escape));
    m_mnu全画面戻す->setShortcutContext(Qt::WindowShortcut);
    m_mnu全画面戻す->setAutoRepeat(false);
    m_mnu全画面戻す->setEnabled(false);
    addAction(m_mnu全画面戻す);
    connect(m_mnu全画面戻す, &QAction::triggered, this, [this] {
        if (m_drawScreen) {
            m_drawScreen->ShowInWindow();
        }
    });
    connect(m_mnu抽選, &QMenu::aboutToShow, this,
            [this] { m_mnu全画面->setChecked(m_drawScreen && m_drawScreen->IsFullScreen()); });

    m_mnuHelp = bar->addAction(QStringLiteral("取説"));
    m_mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    connect(m_mnuHelp, &QAction::triggered, this, &MainWindow::mnuHelp_Click);
}

QWidget* MainWindow::ChildScreen() const {
    if (!m_child || m_child->isHidden() || !m_child->widget()) {
        return nullptr;
    }
    return m_child->widget();
}

void MainWindow::OpenScreen(ScreenKind kind) {
    QWidget* screen = nullptr;
    QString caption;
    switch (kind) {
    case ScreenKind::Registration:
        screen = new RegistrationScreen(m_state, m_services);
        caption = QStringLiteral("参加者登録");
        break;
    case ScreenKind::CardIssue:
        screen = new CardIssueScreen(m_state, m_services);
        break;
    case ScreenKind::GameSettings:
        screen = new GameSettingsScreen(m_state, m_services);
        break;
    case ScreenKind::Draw:
        screen = new DrawScreen(m_state, m_services);
        break;
    }
    screen->setAttribute(Qt::WA_DeleteOnClose);
    screen->setWindowTitle(caption);
    QMdiSubWindow* sub = m_mdi->addSubWindow(screen);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(windowIcon());
    m_child = sub;
    if (kind == ScreenKind::Draw) {
        sub->showMaximized();
    } else {
        sub->show();
    }
    const bool draw = kind == ScreenKind::Draw;
    m_mnuFileAction->setEnabled(false);
    m_mnuToolsOptions->setEnabled(false);
    m_mnu抽選Action->setEnabled(draw);
    if (draw) {
        m_mnu開始->setEnabled(false);
        m_mnu終了->setEnabled(true);
        m_mnu全画面->setEnabled(true);
        m_mnu全画面戻す->setEnabled(true);
        m_drawScreen = qobject_cast<DrawScreen*>(screen);
    }
}

void MainWindow::tmMenu監視_Timer() {
    if (ChildScreen()) {
        return;
    }
    m_mnuFileAction->setEnabled(true);
    m_mnuToolsOptions->setEnabled(true);
    m_mnu抽選Action->setEnabled(true);
    m_mnu開始->setEnabled(true);
    m_mnu終了->setEnabled(false);
    m_mnu全画面->setEnabled(false);
    m_mnu全画面戻す->setEnabled(false);
}

bool MainWindow::CheckNoChildScreen() {
    if (!ChildScreen()) {
        return false;
    }
    m_services.dialogs.ShowMessage(
        QStringLiteral("選択された操作は無効です。\r\n呼び出されたフォームを閉じてから再操作してください。"));
    return true;
}

void MainWindow::mnuFilePrint_Click() {
    if (!ChildScreen()) {
        OpenCardIssueScreen();
    }
}

void MainWindow::mnuToolsOptions_Click() {
    if (!ChildScreen()) {
        OpenGameSettingsScreen();
    }
}

void MainWindow::mnu開始_Click() {
    if (!ChildScreen()) {
        OpenDrawScreen();
    }
}

void MainWindow::mnu通常_Click() {
    m_mnu通常->setChecked(true);
    m_mnu簡易->setChecked(false);
    m_state.DrawKind = DrawKind::Normal;
}

void MainWindow::mnu簡易_Click() {
    m_mnu通常->setChecked(false);
    m_mnu簡易->setChecked(true);
    m_state.DrawKind = DrawKind::Simple;
}

void MainWindow::mnu全画面_Click() {
    if (!m_drawScreen) {
        return;
    }
    if (m_drawScreen->IsFullScreen()) {
        m_drawScreen->ShowInWindow();
    } else {
        m_drawScreen->ShowFullScreen(DrawScreen::ProjectorScreen(this));
    }
}

void MainWindow::mnu終了_Click() {
    if (!ChildScreen()) {
        return;
    }
    if (m_state.DrawInProgress && m_services.dialogs.AskYesNo(this, QStringLiteral("抽選を中止しますか？"),
                                                              Dialogs::Answer::No) == Dialogs::Answer::No) {
        return;
    }
    m_state.DrawInProgress = false;
    if (m_child) {
        m_child->close();
    }
}

bool MainWindow::AskUnsavedOnExit() {
    if (!m_state.RosterModified) {
        return true;
    }
    return m_services.dialogs.AskYesNo(this,
                                       QStringLiteral("データが保存されていません\r\n\r\n終了しますか?"),
                                       Dialogs::Answer::No) == Dialogs::Answer::Yes;
}

void MainWindow::mnuFileExit_Click() {
    if (CheckNoChildScreen() || !AskUnsavedOnExit()) {
        return;
    }
    m_state.RosterModified = false;
    m_exitRequested = true;
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!m_exitRequested) {
        m_services.dialogs.ShowMessage(
            QStringLiteral("プログラムの終了は、メニューの[終了]で行ってください。"));
        event->ignore();
        return;
    }
    if (CheckNoChildScreen() || !AskUnsavedOnExit()) {
        m_exitRequested = false;
        event->ignore();
        return;
    }
    m_monitor->Stop();
    event->accept();
}

void MainWindow::mnuHelp_Click() {
    HelpViewer viewer(this);
    // The viewer covers the main window, a little shorter (heights in twips as the screen measures them).
    const QRect frame = geometry();
    viewer.SetOuterGeometry(frame.left(), frame.top(), frame.width(),
                            frame.height() - TwipsToPixels(this, 300));
    viewer.ShowManual(m_state.ProgramFolder, QStringLiteral("操作説明.txt"), m_services.dialogs);
}
