#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
struct ProgramState;
struct Services;

// The game settings screen: game mode, introduction items, panel rows and columns, background
// colour and the photo and music folders. Nothing is stored until 適用 is confirmed.
class GameSettingsScreen : public QWidget {
    Q_OBJECT
public:
    GameSettingsScreen(ProgramState& state, Services& services, QWidget* parent = nullptr);

    void Cmd背景色_Click();
    void Cmd写真_Click();
    void Cmd音楽_Click();
    void Cmd設定適用_Click();

private:
    void LoadControls();
    void StoreControls();
    void SetBackground(const QString& colourText);

    ProgramState& m_state;
    Services& m_services;
    QGroupBox* m_frames[4] = {};
    QRadioButton* m_mode[4] = {};
    QCheckBox* m_intro[9] = {};
    QComboBox* m_rows = nullptr;
    QComboBox* m_cols = nullptr;
    QPushButton* m_backButton = nullptr;
    QLineEdit* m_backText = nullptr;
    QLineEdit* m_pictures = nullptr;
    QLineEdit* m_musics = nullptr;
    QPushButton* m_apply = nullptr;
};
