#pragma once

#include "core/cards/cardsettings.h"

#include <QPrinterInfo>
#include <QWidget>
#include <functional>
#include <memory>

class CardPrintRun;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
struct ProgramState;
struct Services;

// The card issue screen: kind of card, grid size, paper layout, sheets, centre cell handling and
// text colour, and the button that prints. While a run prints, the screen is disabled and refuses
// to close.
class CardIssueScreen : public QWidget {
    Q_OBJECT
public:
    CardIssueScreen(ProgramState& state, Services& services, QWidget* parent = nullptr);
    ~CardIssueScreen() override;

    // The controls as they stand.
    CardControlTexts ControlTexts() const;
    bool IsPrinting() const;

    // Where runs print: the default printer unless replaced (tests replace it).
    void SetPrinterLookup(std::function<QPrinterInfo()> lookup) { m_printerLookup = std::move(lookup); }

signals:
    // A run has ended (printed, failed or refused before it started).
    void RunEnded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Cmd文字色_Click();
    void Cmd印刷設定適用_Click();
    void FinishRun();

    ProgramState& m_state;
    Services& m_services;
    QRadioButton* m_cardMode[2] = {};
    QComboBox* m_frames = nullptr;
    QComboBox* m_layout = nullptr;
    QLineEdit* m_sheets = nullptr;
    QRadioButton* m_centre[3] = {};
    QComboBox* m_row = nullptr;
    QPushButton* m_colourButton = nullptr;
    QLineEdit* m_colour = nullptr;
    QPushButton* m_issueButton = nullptr;
    std::unique_ptr<CardPrintRun> m_run;
    std::function<QPrinterInfo()> m_printerLookup;
};
