#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <array>

// What one card issue run is made of, and how the issue screen's texts are read into it.

// Lengths on the printed page: millimetres in fixed point, 1 unit = 0.0001 mm.
using MmUnits = qint32;
constexpr MmUnits kUnitsPerMm = 10000;

enum class CardMode { Blank, Normal };
enum class CentreOption { Mark, FixedRow, CountUp };

// One entry of the paper layout list: the text shown, the paper ("A4", "B5", "はがき"), the
// orientation (1 portrait, 2 landscape), the cards per sheet and the side of a card.
struct PaperLayout {
    QString Text;
    QString Paper;
    int Orientation = 1;
    int CardsPerSheet = 1;
    MmUnits CardSide = 0;
};

constexpr int kPaperLayoutCount = 12;
constexpr int kDefaultPaperLayout = 1;

// The twelve layouts in list order.
const std::array<PaperLayout, kPaperLayoutCount>& PaperLayouts();

// The four grid sizes of the list ("３×３" … "９×９").
QStringList GridSizeTexts();

// The values of one issue run.
struct CardRunValues {
    CardMode Mode = CardMode::Blank;
    int FramesPerSide = 5;
    int LayoutIndex = kDefaultPaperLayout;
    qint16 Sheets = 1;
    CentreOption Centre = CentreOption::Mark;
    qint16 DesignatedRow = 1;
    QColor TextColour = Qt::black;

    const PaperLayout& Layout() const { return PaperLayouts()[static_cast<size_t>(LayoutIndex)]; }
};

// The issue screen's controls as the user left them.
struct CardControlTexts {
    bool NormalCardSelected = false;      // Optカードモード(1)
    QString FramesText;                   // Cmb枠数
    QString LayoutText;                   // Cmb用紙面付
    QString SheetsText;                   // Txt部数
    std::array<bool, 3> CentreSelected{}; // Opt中心枠(0..2)
    QString DesignatedRowText;            // Cmb指定行番
    QString ColourText;                   // Txt文字色
};

// Frames per side from the grid size text: its first character, made half-width, read as a
// number and rounded; 3, 5, 7 or 9, anything else gives 5.
int ReadFramesPerSide(const QString& text);

// Index of the layout whose text equals text exactly; 1 when none does.
int ReadPaperLayout(const QString& text);

// The text colour: the text as a 32-bit colour number (red in the low byte); black when the
// text is not a number.
QColor ReadTextColour(const QString& text);

// Reads every control into values. Returns false with a message for the user when the sheets or
// the designated row do not fit the 16-bit range, or when counting up from a row below 0.
bool ReadRunValues(const CardControlTexts& controls, CardRunValues& values, QString& error);
