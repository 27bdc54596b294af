#pragma once

#include "core/cards/cardrenderer.h"
#include "core/cards/cardsettings.h"

#include <QDialog>
#include <QPageLayout>
#include <memory>
#include <vector>

// Cards chosen for a run before it prints: the sheets a preview showed and the planner that goes
// on after them.
struct ChosenCards {
    CardRunValues Values;
    std::shared_ptr<CardRunPlanner> Planner;
    std::vector<PlannedSheet> Sheets;
};

class FractionSource;
class MessageSink;
class QPrinter;
class QPrintPreviewWidget;
struct ProgramState;

// The sheets of a run as they would print, on the run's paper, before anything is printed: drawn
// by the same card renderer on a preview of the page, with the numbers the run would give. It
// takes no number, records nothing and writes no file; it offers no print button of its own
// (カード発行 prints, and prints the cards shown here: Chosen hands them to the run).
class CardPreview : public QDialog {
    Q_OBJECT
public:
    // A preview shows at most this many sheets: enough to judge the cards, quick to draw.
    static constexpr int kMostSheets = 10;

    CardPreview(const CardRunValues& values, const CardMarks& marks, const ProgramState& state,
                FractionSource& random, QWidget* parent = nullptr);
    ~CardPreview() override;

    QPrintPreviewWidget* Preview() const { return m_preview; }
    QPageLayout PageLayout() const;
    // The cards shown, sheet by sheet, and the planner that chose them.
    ChosenCards Chosen() const;

private:
    void PaintSheets(QPrinter* printer);

    CardRunValues m_values;
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<MessageSink> m_quiet;
    std::unique_ptr<CardSheetPrinter> m_sheets; // chosen once: every repaint shows the same cards
    QPrintPreviewWidget* m_preview = nullptr;
};
