#pragma once

#include "core/cards/cardrenderer.h"
#include "core/cards/cardsettings.h"

#include <QDialog>
#include <QPageLayout>
#include <memory>

class FractionSource;
class QPrinter;
class QPrintPreviewWidget;
struct ProgramState;

// The sheets of a run as they would print, on the run's paper, before anything is printed: drawn
// by the same card renderer on a preview of the page, with the numbers the run would give. It
// takes no number, records nothing and writes no file; it offers no print button of its own
// (カード発行 prints).
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

private:
    void PaintSheets(QPrinter* printer);

    CardRunValues m_values;
    CardMarks m_marks;
    const ProgramState& m_state;
    FractionSource& m_random;
    std::unique_ptr<QPrinter> m_printer;
    QPrintPreviewWidget* m_preview = nullptr;
};
