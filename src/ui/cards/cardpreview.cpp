#include "ui/cards/cardpreview.h"

#include "core/cards/cardrenderer.h"
#include "core/common/messages.h"
#include "core/programstate.h"
#include "ui/cards/postcardpaper.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// The run's message about an empty roster belongs to the run; a preview shows the empty cells.
class QuietMessages : public MessageSink {
public:
    void ShowMessage(const QString&) override {}
};

} // namespace

CardPreview::CardPreview(const CardRunValues& values, const CardMarks& marks, const ProgramState& state,
                         FractionSource& random, QWidget* parent)
    : QDialog(parent), m_values(values), m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      m_quiet(std::make_unique<QuietMessages>()) {
    setObjectName(QStringLiteral("cardPreview"));
    setWindowTitle(QStringLiteral("プレビュー"));
    // The page as the run sets it up for a PDF: the paper's corner is the origin.
    m_printer->setOutputFormat(QPrinter::PdfFormat);
    m_printer->setFullPage(true);
    m_printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    const PaperLayout& layout = values.Layout();
    if (layout.Paper == QStringLiteral("A4")) {
        SetPaperByCode(*m_printer, 9);
    } else if (layout.Paper == QStringLiteral("B5")) {
        SetPaperByCode(*m_printer, 13);
    } else {
        SelectPostcardPaper(*m_printer, {});
    }
    m_printer->setPageOrientation(layout.Orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);

    m_sheets =
        std::make_unique<CardSheetPrinter>(values, state.Roster, state.Settings.Pictures, random, *m_quiet);
    m_sheets->Renderer().SetGridLineWidth(kPdfGridLineMm);
    m_sheets->SetMarks(marks);
    m_sheets->PlanSheets(kMostSheets);

    m_preview = new QPrintPreviewWidget(m_printer.get(), this);
    m_preview->setObjectName(QStringLiteral("cardPreviewPages"));
    m_preview->setZoomMode(QPrintPreviewWidget::FitInView);
    connect(m_preview, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter* printer) { PaintSheets(printer); });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("閉じる"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const int sheets = std::max<int>(0, values.Sheets);
    auto* count = new QLabel(
        sheets > kMostSheets
            ? QStringLiteral("全 %1 ページ（最初の %2 ページを表示しています）").arg(sheets).arg(kMostSheets)
            : QStringLiteral("全 %1 ページ").arg(sheets),
        this);
    count->setObjectName(QStringLiteral("lblページ数"));
    auto* layoutBox = new QVBoxLayout(this);
    layoutBox->addWidget(count);
    layoutBox->addWidget(m_preview, 1);
    layoutBox->addWidget(buttons);
    // Most of the screen's height: the cells' names are read on it.
    const QSize area = screen() ? screen()->availableGeometry().size() : QSize(1024, 768);
    resize(area.height() * 3 / 4, area.height() * 9 / 10);
}

CardPreview::~CardPreview() = default;

QPageLayout CardPreview::PageLayout() const {
    return m_printer->pageLayout();
}

ChosenCards CardPreview::Chosen() const {
    return {m_values, m_sheets->Planner(), m_sheets->Sheets()};
}

void CardPreview::PaintSheets(QPrinter* printer) {
    QPainter painter(printer);
    const int sheets = static_cast<int>(m_sheets->Sheets().size());
    for (int sheet = 0; sheet < sheets; ++sheet) {
        if (sheet > 0) {
            printer->newPage();
        }
        m_sheets->DrawSheet(painter, sheet);
    }
}
