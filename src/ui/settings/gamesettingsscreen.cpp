#include "ui/settings/gamesettingsscreen.h"

#include "core/common/numeric.h"
#include "core/config/settingsfile.h"
#include "core/programstate.h"
#include "ui/app/childscreen.h"
#include "ui/app/dialogs.h"
#include "ui/app/services.h"
#include "ui/colour/pickcolor.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

template <typename T> T* Named(T* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

QString Indexed(const char16_t* base, int index) {
    return QString::fromUtf16(base) + u'_' + QString::number(index);
}

} // namespace

GameSettingsScreen::GameSettingsScreen(ProgramState& state, Services& services, QWidget* parent)
    : QWidget(parent), m_state(state), m_services(services) {
    setObjectName(QStringLiteral("Frm設定"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("ゲーム設定"));
    setAutoFillBackground(true);

    static const char16_t* const frameCaptions[4] = {u"ゲームモード", u"紹介項目", u"画面設定",
                                                     u"音楽/写真保存フォルダー"};
    for (int i = 0; i < 4; ++i) {
        m_frames[i] = Named(new QGroupBox(QString::fromUtf16(frameCaptions[i]), this), Indexed(u"Frame1", i));
    }

    static const char16_t* const modes[4] = {u"モード１", u"モード２", u"モード３", u"モード4"};
    auto* modeLayout = new QVBoxLayout(m_frames[0]);
    for (int i = 0; i < 4; ++i) {
        m_mode[i] =
            Named(new QRadioButton(QString::fromUtf16(modes[i]), m_frames[0]), Indexed(u"Optモード", i));
        modeLayout->addWidget(m_mode[i]);
    }

    static const char16_t* const items[9] = {u"氏名",       u"生年月日", u"血液型",   u"出身地", u"所属",
                                             u"好きな言葉", u"一言",     u"好きな曲", u"写真"};
    auto* introLayout = new QGridLayout(m_frames[1]);
    for (int i = 0; i < 9; ++i) {
        m_intro[i] = Named(new QCheckBox(QString::fromUtf16(items[i]), m_frames[1]), Indexed(u"Chk紹介", i));
        introLayout->addWidget(m_intro[i], i % 5, i / 5);
    }

    auto* screenLayout = new QGridLayout(m_frames[2]);
    screenLayout->addWidget(
        Named(new QLabel(QStringLiteral("縦パネル数"), m_frames[2]), QStringLiteral("Label1_1")), 0, 0);
    m_rows = Named(new QComboBox(m_frames[2]), QStringLiteral("Cmb行数"));
    m_rows->setEditable(true);
    m_rows->setInsertPolicy(QComboBox::NoInsert);
    screenLayout->addWidget(m_rows, 0, 1);
    screenLayout->addWidget(
        Named(new QLabel(QStringLiteral("横パネル数"), m_frames[2]), QStringLiteral("Label1_0")), 1, 0);
    m_cols = Named(new QComboBox(m_frames[2]), QStringLiteral("Cmb列数"));
    m_cols->setEditable(true);
    m_cols->setInsertPolicy(QComboBox::NoInsert);
    screenLayout->addWidget(m_cols, 1, 1);
    m_backButton = Named(new QPushButton(QStringLiteral("背景色"), m_frames[2]), QStringLiteral("Cmd背景色"));
    m_backText = Named(new QLineEdit(m_frames[2]), QStringLiteral("Txt背景色"));
    screenLayout->addWidget(m_backButton, 2, 0);
    screenLayout->addWidget(m_backText, 2, 1);

    auto* folderLayout = new QGridLayout(m_frames[3]);
    auto* pictureButton =
        Named(new QPushButton(QStringLiteral("写真"), m_frames[3]), QStringLiteral("Cmd写真"));
    m_pictures = Named(new QLineEdit(m_frames[3]), QStringLiteral("Txt写真"));
    auto* musicButton =
        Named(new QPushButton(QStringLiteral("音楽"), m_frames[3]), QStringLiteral("Cmd音楽"));
    m_musics = Named(new QLineEdit(m_frames[3]), QStringLiteral("Txt音楽"));
    m_pictures->setMinimumWidth(360);
    folderLayout->addWidget(pictureButton, 0, 0);
    folderLayout->addWidget(m_pictures, 0, 1);
    folderLayout->addWidget(musicButton, 1, 0);
    folderLayout->addWidget(m_musics, 1, 1);

    m_apply = Named(new QPushButton(QStringLiteral("適用"), this), QStringLiteral("Cmd設定適用"));
    QFont applyFont = m_apply->font();
    applyFont.setBold(true);
    applyFont.setPointSizeF(12);
    m_apply->setFont(applyFont);
    m_apply->setMinimumHeight(36);

    auto* top = new QHBoxLayout;
    top->addWidget(m_frames[0]);
    top->addWidget(m_frames[1]);
    top->addWidget(m_frames[2]);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_frames[3]);
    layout->addWidget(m_apply, 0, Qt::AlignRight);

    connect(m_backButton, &QPushButton::clicked, this, &GameSettingsScreen::Cmd背景色_Click);
    connect(pictureButton, &QPushButton::clicked, this, &GameSettingsScreen::Cmd写真_Click);
    connect(musicButton, &QPushButton::clicked, this, &GameSettingsScreen::Cmd音楽_Click);
    connect(m_apply, &QPushButton::clicked, this, &GameSettingsScreen::Cmd設定適用_Click);

    LoadControls();
    SetBackground(m_state.Settings.Backcolor);
    adjustSize();
}

void GameSettingsScreen::LoadControls() {
    const SettingsRecord& s = m_state.Settings;
    m_musics->setText(s.Musics);
    m_pictures->setText(s.Pictures);
    m_mode[s.GameMode >= 1 && s.GameMode <= 4 ? s.GameMode - 1 : 0]->setChecked(true);
    m_intro[0]->setChecked(true);
    for (int k = 2; k <= 9; ++k) {
        m_intro[k - 1]->setChecked(s.Dflag.size() >= k && s.Dflag.at(k - 1) == u'1');
    }
    for (int i = 1; i <= 18; ++i) {
        m_cols->addItem(QString::number(i));
    }
    for (int i = 1; i <= 12; ++i) {
        m_rows->addItem(QString::number(i));
    }
    m_cols->setCurrentIndex(-1);
    m_rows->setCurrentIndex(-1);
    m_cols->setEditText(QString::number(s.Cols));
    m_rows->setEditText(QString::number(s.Rows));
    m_backText->setText(s.Backcolor);
}

void GameSettingsScreen::SetBackground(const QString& colourText) {
    QColor colour;
    if (ColourFromText(colourText, colour)) {
        QPalette p = palette();
        p.setColor(QPalette::Window, colour);
        setPalette(p);
    }
}

void GameSettingsScreen::Cmd背景色_Click() {
    m_apply->setEnabled(false);
    setEnabled(false);
    QString text;
    if (PickColor(m_services.dialogs, this, text)) {
        m_backText->setText(text);
        SetBackground(text);
    }
    setEnabled(true);
    m_apply->setEnabled(true);
}

void GameSettingsScreen::Cmd写真_Click() {
    const QString folder =
        m_services.dialogs.ExistingFolder(this, QStringLiteral("写真保存フォルダーを選択してください。"));
    if (!folder.isEmpty()) {
        m_pictures->setText(QDir::toNativeSeparators(folder));
    }
}

void GameSettingsScreen::Cmd音楽_Click() {
    const QString folder =
        m_services.dialogs.ExistingFolder(this, QStringLiteral("音楽保存フォルダーを選択してください。"));
    if (!folder.isEmpty()) {
        m_musics->setText(QDir::toNativeSeparators(folder));
    }
}

void GameSettingsScreen::StoreControls() {
    SettingsRecord& s = m_state.Settings;
    s.Musics = m_musics->text();
    s.Pictures = m_pictures->text();
    s.GameMode = 1;
    for (int i = 0; i < 4; ++i) {
        if (m_mode[i]->isChecked()) {
            s.GameMode = i + 1;
            break;
        }
    }
    QString flags = QStringLiteral("1");
    for (int k = 1; k <= 8; ++k) {
        flags += m_intro[k]->isChecked() ? u'1' : u'0';
    }
    s.Dflag = flags;
    ParseInt32(m_cols->currentText(), s.Cols);
    ParseInt32(m_rows->currentText(), s.Rows);
    s.Backcolor = m_backText->text();
}

void GameSettingsScreen::Cmd設定適用_Click() {
    qint32 cols = 0;
    qint32 rows = 0;
    if (!ParseInt32(m_rows->currentText(), rows) || !ParseInt32(m_cols->currentText(), cols)) {
        m_services.dialogs.ShowMessage(QStringLiteral("縦パネル数と横パネル数は数字で指定してください。"));
        return;
    }
    if (m_services.dialogs.AskYesNo(this, QStringLiteral("指定条件を適用しますか？"), Dialogs::Answer::Yes) ==
        Dialogs::Answer::No) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    StoreControls();
    SaveSettings(m_state, m_services.dialogs);
    QApplication::restoreOverrideCursor();
    CloseScreen(this);
}
