#pragma once

#include "core/cards/cardrenderer.h"
#include "core/cards/cardsettings.h"
#include "core/config/cardscreenchoices.h"
#include "ui/cards/cardpreview.h"

#include <QHostAddress>
#include <QPrinterInfo>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CardPrintRun;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
struct ProgramState;
struct Services;

// The card issue screen: kind of card, grid size, paper layout, sheets, centre cell handling and
// text colour, and the button that prints. While a run prints, the screen is disabled and refuses
// to close. Besides, the cards may be numbered (and then carry a QR code of their page for phones;
// the screen opens with numbered cards again once they were chosen) and the run can be previewed
// before it is printed: the run then prints the cards the preview showed.
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
    // The addresses phones can reach this computer at, as the venue's network offers them (the
    // screen asks the system when it opens; tests set their own).
    void SetPhoneAddresses(const std::vector<QHostAddress>& addresses);
    // "address:port" of the phone pages the QR codes point at; empty when none are printed.
    QString PhoneAddress() const;

signals:
    // A run has ended (printed, failed or refused before it started).
    void RunEnded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Cmd文字色_Click();
    void Cmd印刷設定適用_Click();
    void BtnPreview_Click();
    void UpdateMarkControls();
    void FinishRun();
    // The run's values from the controls; nothing, after saying why, when they do not read.
    std::optional<CardRunValues> ReadValuesOrSay();
    CardMarks ChosenMarks() const;
    // The PDF a run writes when there is no printer; empty when there is one.
    QString PdfPathFor(const QPrinterInfo& printer) const;
    // The question that starts a run: with numbered cards, it says first when people repeat on a card.
    QString IssueQuestion() const;
    CardScreenChoices Choices() const;
    void KeepChoices();

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
    QCheckBox* m_numbered = nullptr;
    QCheckBox* m_qr = nullptr;
    QComboBox* m_phoneAddress = nullptr;
    QPushButton* m_previewButton = nullptr;
    bool m_haveAddresses = false;
    std::unique_ptr<CardPrintRun> m_run;
    std::optional<ChosenCards> m_previewed; // the cards the last preview showed, for the next run
    std::function<QPrinterInfo()> m_printerLookup;
};
