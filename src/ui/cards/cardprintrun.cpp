#include "ui/cards/cardprintrun.h"

#include "core/common/photo.h"
#include "core/common/platform.h"
#include "core/common/safefile.h"
#include "core/common/timing.h"
#include "core/config/workingfolder.h"
#include "core/programstate.h"
#include "core/record/cardrecord.h"
#include "core/record/recordfile.h"
#include "ui/app/dialogs.h"
#include "ui/app/services.h"
#include "ui/cards/postcardpaper.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPdfWriter>
#include <QPrinter>
#include <QProgressDialog>
#include <QtConcurrent/QtConcurrentMap>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

namespace {

QString PostcardQuestion() {
    return QStringLiteral(
        "接続されているプリンタでは\r\n用紙をはがきに設定出来ません.\r\n印刷を続けますか？");
}

QString PrinterErrorMessage() {
    return QStringLiteral("プリンタでエラーが発生したため、印刷を中止しました。");
}

QString FileErrorMessage(const QString& path, const FileError& error) {
    QString text = QStringLiteral("PDFファイルを書き込めなかったため、印刷を中止しました。\r\n") +
                   QDir::toNativeSeparators(path);
    if (error.Code != 0) {
        text += QStringLiteral("\r\n") + error.Lines(QStringLiteral("エラー番号="));
    }
    return text;
}

QString RecordReadMessage(const QString& path, const FileError& error) {
    if (error.Code != 0) {
        return QStringLiteral("カード記録を読み込めなかったため、番号付きのカードを発行できません。\r\n") +
               QDir::toNativeSeparators(path) + QStringLiteral("\r\n") + RecordErrorLines(error);
    }
    return QStringLiteral("カード記録に正しく読めない行があるため、番号付きのカードを発行できません。\r\n") +
           QDir::toNativeSeparators(path) + QStringLiteral("\r\n") + error.Text +
           QStringLiteral("\r\nカード記録を直すまで、番号付きのカードは発行できません。");
}

QString RecordWriteMessage(const QString& path, const FileError& error) {
    return QStringLiteral("カード記録に書き込めなかったため、印刷しませんでした。\r\n") +
           QDir::toNativeSeparators(path) + QStringLiteral("\r\n") + RecordErrorLines(error);
}

// "No.0031～No.0042（12 枚）": the cards of a run are numbered one after another.
QString NumbersOf(const std::vector<RecordedCard>& cards) {
    if (cards.empty()) {
        return {};
    }
    const auto number = [](int n) { return QStringLiteral("No.%1").arg(n, 4, 10, QLatin1Char('0')); };
    QString text = number(cards.front().Number);
    if (cards.size() > 1) {
        text += QStringLiteral("～") + number(cards.back().Number);
    }
    return text + QStringLiteral("（%1 枚）").arg(cards.size());
}

QString ProgressText(int sheet, int sheets) {
    return QStringLiteral("ビンゴカードを印刷しています（%1 / %2 枚）").arg(sheet).arg(sheets);
}

} // namespace

QString CardRecordPathOf(const ProgramState& state, const QString& pdfPath) {
    const QString folder = pdfPath.isEmpty() ? CardOutputFolder(state) : QFileInfo(pdfPath).absolutePath();
    return CardRecordPath(folder, state.Settings.RosterFilePath);
}

QString CardPdfPath(const QString& folder, const QDateTime& now) {
    const QString stem = QStringLiteral("ビンゴカード_") + now.toString(QStringLiteral("yyyyMMdd_HHmmss"));
    QString path = JoinPath(folder, stem + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(path); ++n) {
        path = JoinPath(folder, stem + QStringLiteral("_%1.pdf").arg(n));
    }
    return path;
}

QString CardOutputFolder(const ProgramState& state) {
    return WorkingFolderOf(state);
}

CardPrintRun::CardPrintRun(ProgramState& state, Services& services, QWidget* parent)
    : m_state(state), m_services(services), m_parent(parent),
      m_paperSizes([](const QPrinter& printer) { return PrinterPaperSizes(printer); }),
      m_record(std::make_shared<CardRecordIndex>()) {}

CardPrintRun::~CardPrintRun() {
    m_recordWatcher.reset();
    m_recordWork.waitForFinished(); // cards being recorded reach the disk whole
    if (m_decoding.isRunning()) {
        m_decoding.cancel();
        m_decoding.waitForFinished(); // the photos being decoded, no more
    }
    m_decodeWatcher.reset();
    if (m_running) {
        // Only when the program itself goes away mid-run: discard the job.
        if (m_timer) {
            m_timer->Stop();
        }
        DiscardOutput();
        QApplication::restoreOverrideCursor();
    }
    delete m_progress.data();
}

bool CardPrintRun::SetUpPrinter(const CardRunValues& values, const QPrinterInfo& printer,
                                const QString& pdfPath) {
    if (printer.isNull()) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setOutputFormat(QPrinter::PdfFormat);
        m_printer->setFullPage(true); // the page's corner is the origin, as on paper
        m_printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        m_pdfPath = pdfPath;
    } else {
        m_printer = std::make_unique<QPrinter>(printer, QPrinter::HighResolution);
        m_pdfPath.clear();
    }
    m_printer->setDocName(QStringLiteral("ビンゴカード"));
    const PaperLayout& layout = values.Layout();
    if (layout.Paper == QStringLiteral("A4")) {
        SetPaperByCode(*m_printer, 9);
    } else if (layout.Paper == QStringLiteral("B5")) {
        SetPaperByCode(*m_printer, 13);
    } else if (SelectPostcardPaper(*m_printer, m_paperSizes(*m_printer)) == 0) {
        if (m_services.dialogs.AskYesNo(m_parent, PostcardQuestion(), Dialogs::Answer::No) ==
            Dialogs::Answer::No) {
            return false;
        }
    }
    m_printer->setPageOrientation(layout.Orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    return true;
}

bool CardPrintRun::Start(const CardRunValues& values, const QPrinterInfo& printer, const QString& pdfPath,
                         std::function<void()> finished, CardMarks marks,
                         const std::optional<ChosenCards>& chosen) {
    if (m_running || !SetUpPrinter(values, printer, pdfPath)) {
        return false;
    }
    m_recordPath.clear();
    m_cancelled = false;
    if (chosen && chosen->Planner && SameCardChoices(chosen->Values, values)) {
        m_sheets = std::make_unique<CardSheetPrinter>(values, chosen->Planner, chosen->Sheets,
                                                      m_state.Settings.Pictures, m_services.random,
                                                      m_services.dialogs);
    } else {
        m_sheets = std::make_unique<CardSheetPrinter>(values, m_state.Roster, m_state.Settings.Pictures,
                                                      m_services.random, m_services.dialogs);
    }
    if (!m_pdfPath.isEmpty()) {
        m_sheets->Renderer().SetGridLineWidth(kPdfGridLineMm);
    }
    if (m_sheets->SheetCount() == 0) {
        return false; // nothing to print, and no job is opened
    }
    if (marks.Numbered) {
        if (m_sheets->SheetCount() * m_sheets->CardsPerSheet() > kMostNumberedCards) {
            m_services.dialogs.ShowMessage(
                QStringLiteral(
                    "番号付きのカードは、1 回に %1 枚まで発行できます。\r\n印字枚数を減らしてください。")
                    .arg(kMostNumberedCards));
            return false;
        }
        marks.RosterPath = m_state.Settings.RosterFilePath;
        m_marks = marks;
        m_recordPath = CardRecordPathOf(m_state, m_pdfPath);
    }
    m_finished = std::move(finished);
    m_running = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (m_sheets->SheetCount() > kQuietSheets) {
        // Not modal: a modal progress box would run the event loop from inside setValue. The
        // screen is disabled instead, and the main window's menus are closed while it is open.
        m_progress = new QProgressDialog(m_parent);
        m_progress->setObjectName(QStringLiteral("printProgress"));
        m_progress->setWindowTitle(ApplicationTitle());
        m_progress->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        m_progress->setWindowModality(Qt::NonModal);
        m_progress->setCancelButtonText(QStringLiteral("中止"));
        m_progress->setAutoClose(false);
        m_progress->setAutoReset(false);
        m_progress->setMinimumDuration(0);
        m_progress->setRange(0, m_sheets->SheetCount());
        m_progress->setLabelText(ProgressText(1, m_sheets->SheetCount()));
        // The sheet being printed is finished first: the stop takes effect between sheets.
        QObject::connect(m_progress, &QProgressDialog::canceled, m_progress, [this] { Cancel(); });
        m_progress->show();
    }
    m_timer = m_services.clock.CreateTimer();
    m_timer->SetInterval(0);
    m_timer->SetCallback([this] { PrintNextSheet(); });
    if (m_recordPath.isEmpty()) {
        if (!StartPrinting()) {
            End();
            return false;
        }
        return true;
    }
    // Numbers go on after the record's: one that cannot be read exactly would give numbers twice.
    SetProgressLabel(QStringLiteral("カード記録を読み込んでいます"));
    m_recordWatcher = std::make_unique<QFutureWatcher<FileOutcome>>();
    QObject::connect(m_recordWatcher.get(), &QFutureWatcherBase::finished, m_recordWatcher.get(),
                     [this] { RecordRead(); });
    m_recordWork = QtConcurrent::run([record = m_record, path = m_recordPath] {
        FileOutcome outcome;
        outcome.Ok = record->Refresh(path, outcome.Error);
        return outcome;
    });
    m_recordWatcher->setFuture(m_recordWork);
    return true;
}

void CardPrintRun::SetProgressLabel(const QString& text) {
    if (m_progress) {
        m_progress->setLabelText(text);
    }
}

void CardPrintRun::RecordRead() {
    const FileOutcome read = m_recordWork.result();
    if (m_cancelled) {
        Conclude(QString()); // nothing recorded, nothing printed
        return;
    }
    if (!read.Ok) {
        Conclude(RecordReadMessage(m_recordPath, read.Error));
        return;
    }
    m_marks.FirstNumber = std::max(m_record->NextNumber(), m_state.CardNumbersGiven.value(m_recordPath, 1));
    m_sheets->SetMarks(m_marks);
    m_sheets->PlanSheets(); // every card of the run, chosen before any is printed
    std::vector<RecordedCard> cards = m_sheets->NumberedCards();
    if (cards.empty()) {
        Conclude(QString());
        return;
    }
    if (cards.back().Number > kLastCardNumber) {
        Conclude(QStringLiteral(
                     "カード記録の番号が上限（No.%1）に達しているため、番号付きのカードを発行できません。")
                     .arg(kLastCardNumber));
        return;
    }
    const QDateTime issued = QDateTime::fromMSecsSinceEpoch(m_services.clock.NowMs());
    for (RecordedCard& card : cards) {
        card.Issued = issued;
    }
    SetProgressLabel(QStringLiteral("カード記録に書き込んでいます"));
    QObject::disconnect(m_recordWatcher.get(), nullptr, nullptr, nullptr);
    QObject::connect(m_recordWatcher.get(), &QFutureWatcherBase::finished, m_recordWatcher.get(),
                     [this] { RecordWritten(); });
    m_recordWork = QtConcurrent::run([path = m_recordPath, cards = std::move(cards)] {
        FileOutcome outcome;
        outcome.Ok = AddCardsToRecord(path, cards, outcome.Error);
        return outcome;
    });
    m_recordWatcher->setFuture(m_recordWork);
}

void CardPrintRun::RecordWritten() {
    const FileOutcome written = m_recordWork.result();
    if (!written.Ok) {
        Conclude(RecordWriteMessage(m_recordPath, written.Error));
        return;
    }
    const std::vector<RecordedCard> cards = m_sheets->NumberedCards();
    int& given = m_state.CardNumbersGiven[m_recordPath];
    given = std::max(given, cards.back().Number + 1);
    if (m_cancelled) {
        Conclude(QStringLiteral("印刷を中止しました。\r\n") + MarkNotPrinted(0));
        return;
    }
    if (!StartPrinting()) {
        MarkNotPrinted(0);
        End();
        if (m_finished) {
            m_finished();
        }
    }
}

bool CardPrintRun::StartPrinting() {
    SetProgressLabel(ProgressText(1, m_sheets->SheetCount()));
    if (!BeginOutput()) {
        const QString where =
            m_pdfPath.isEmpty() ? m_printer->printerName() : QDir::toNativeSeparators(m_pdfPath);
        QString text = QStringLiteral("印刷を開始できませんでした。\r\n") + where;
        if (m_pdfError.Code != 0) {
            text += QStringLiteral("\r\n") + m_pdfError.Lines(QStringLiteral("エラー番号="));
        }
        m_services.dialogs.ShowMessage(text);
        return false;
    }
    m_timer->Start();
    return true;
}

QString CardPrintRun::MarkNotPrinted(int sheet) {
    const std::vector<RecordedCard> cards = m_sheets->NumberedCards(sheet);
    if (m_recordPath.isEmpty() || cards.empty()) {
        return {};
    }
    FileError error;
    if (!MarkCardsNotPrinted(m_recordPath, cards, QDateTime::fromMSecsSinceEpoch(m_services.clock.NowMs()),
                             error)) {
        return QStringLiteral("印刷しなかった %1 を、カード記録に未印刷と書き込めませんでした"
                              "（この番号は使いません）。\r\n")
                   .arg(NumbersOf(cards)) +
               RecordErrorLines(error);
    }
    return QStringLiteral("印刷しなかった %1 は、カード記録に未印刷と記録しました（この番号は使いません）。")
        .arg(NumbersOf(cards));
}

void CardPrintRun::Conclude(const QString& message) {
    End();
    if (!message.isEmpty()) {
        m_services.dialogs.ShowMessage(message);
    }
    if (m_finished) {
        m_finished();
    }
}

bool CardPrintRun::BeginOutput() {
    if (m_pdfPath.isEmpty()) {
        m_device = m_printer.get();
        return m_painter.begin(m_printer.get());
    }
    m_pdfFile = std::make_unique<SafeFile>(m_pdfPath);
    if (!m_pdfFile->Open()) {
        m_pdfError = m_pdfFile->Error();
        m_pdfFile.reset();
        return false;
    }
    m_pdfWriter = std::make_unique<QPdfWriter>(m_pdfFile.get());
    m_pdfWriter->setResolution(m_printer->resolution());
    m_pdfWriter->setPageLayout(m_printer->pageLayout());
    m_pdfWriter->setTitle(m_printer->docName());
    m_pdfWriter->setCreator(ApplicationTitle());
    m_device = m_pdfWriter.get();
    if (!m_painter.begin(m_pdfWriter.get())) {
        DiscardOutput();
        return false;
    }
    return true;
}

bool CardPrintRun::OutputFailed() const {
    if (m_pdfFile) {
        return m_pdfFile->Failed();
    }
    return m_printer && m_printer->printerState() == QPrinter::Error;
}

void CardPrintRun::DiscardOutput() {
    if (m_pdfFile) {
        if (m_painter.isActive()) {
            m_painter.end();
        }
        m_pdfWriter.reset();
        if (m_pdfFile->Failed()) {
            m_pdfError = m_pdfFile->Error();
        }
        m_pdfFile->Cancel();
        m_pdfFile.reset(); // the temporary file is gone; the PDF's own name was never taken
        return;
    }
    if (m_printer && m_pdfPath.isEmpty()) {
        m_printer->abort();
    }
    if (m_painter.isActive()) {
        m_painter.end();
    }
}

void CardPrintRun::PrintNextSheet() {
    // Stopped while the sheet is drawn: a message shown in the middle must not start another.
    m_timer->Stop();
    if (m_cancelled) {
        if (m_sheets->SheetsDrawn() == 0) {
            // Stopped before the first sheet: no job, no file; numbers recorded are not printed.
            DiscardOutput();
            const QString marked = MarkNotPrinted(0);
            Conclude(marked.isEmpty() ? QString() : QStringLiteral("印刷を中止しました。\r\n") + marked);
            return;
        }
        Finish();
        return;
    }
    if (!m_sheets->Planned()) {
        m_sheets->PlanNextSheet();
        // Decoding a sheet's photos takes seconds on the first sheets of a large roster: done on
        // other threads, so the progress box and its 中止 stay alive meanwhile.
        std::vector<PhotoRequest> requests = m_sheets->PhotosToDecode(m_painter);
        if (!requests.empty()) {
            DecodePhotos(std::move(requests));
            return;
        }
    }
    if (m_sheets->SheetsDrawn() > 0 && !m_device->newPage()) {
        Fail();
        return;
    }
    m_sheets->DrawNextSheet(m_painter);
    if (OutputFailed()) {
        Fail();
        return;
    }
    if (m_progress) {
        const int done = m_sheets->SheetsDrawn();
        m_progress->setValue(done);
        m_progress->setLabelText(
            ProgressText(std::min(done + 1, m_sheets->SheetCount()), m_sheets->SheetCount()));
    }
    if (m_sheets->Finished()) {
        Finish();
        return;
    }
    m_timer->Start();
}

void CardPrintRun::Cancel() {
    m_cancelled = true;
    if (m_decoding.isRunning()) {
        m_decoding.cancel();
    }
}

void CardPrintRun::DecodePhotos(std::vector<PhotoRequest> requests) {
    m_decodeRequests = std::move(requests);
    m_decodeWatcher = std::make_unique<QFutureWatcher<QImage>>();
    QObject::connect(m_decodeWatcher.get(), &QFutureWatcherBase::finished, m_decodeWatcher.get(),
                     [this] { PhotosDecoded(); });
    m_decoding = QtConcurrent::mapped(m_decodeRequests, [](const PhotoRequest& request) {
        return LoadPhoto(request.Path, request.Pixels);
    });
    m_decodeWatcher->setFuture(m_decoding);
}

void CardPrintRun::PhotosDecoded() {
    if (!m_decoding.isCanceled()) {
        for (size_t i = 0; i < m_decodeRequests.size(); ++i) {
            m_sheets->Renderer().AddDecodedPhoto(m_decodeRequests[i],
                                                 m_decoding.resultAt(static_cast<int>(i)));
        }
    }
    m_decodeRequests.clear();
    m_timer->Start(); // draws the sheet, or ends the run when it was stopped
}

void CardPrintRun::Fail() {
    DiscardOutput();
    // A PDF that is not written holds no card; a printer may have let out the sheets before.
    const QString marked = MarkNotPrinted(m_pdfPath.isEmpty() ? m_sheets->SheetsDrawn() : 0);
    QString text = m_pdfPath.isEmpty() ? PrinterErrorMessage() : FileErrorMessage(m_pdfPath, m_pdfError);
    if (!marked.isEmpty()) {
        text += QStringLiteral("\r\n") + marked;
    }
    Conclude(text);
}

void CardPrintRun::Finish() {
    bool written = m_painter.end() && !OutputFailed();
    if (m_pdfFile) {
        // The file takes its name only now, complete and on the disk.
        written = written && m_pdfFile->Commit();
        if (!written) {
            m_pdfError = m_pdfFile->Error();
        }
        m_pdfWriter.reset();
        m_pdfFile.reset();
    }
    if (!written) {
        DiscardOutput();
        Fail();
        return;
    }
    const int drawn = m_sheets->SheetsDrawn();
    const bool stopped = drawn < m_sheets->SheetCount();
    QStringList lines;
    if (stopped && (!m_recordPath.isEmpty() || !m_pdfPath.isEmpty())) {
        lines << QStringLiteral("印刷を中止しました（%1 枚目まで）。").arg(drawn);
    }
    if (!m_pdfPath.isEmpty()) {
        lines << QStringLiteral("プリンタが見つからないため、ビンゴカードをPDFファイルに出力しました。")
              << QDir::toNativeSeparators(m_pdfPath);
    } else if (!m_recordPath.isEmpty() && !stopped) {
        lines << QStringLiteral("ビンゴカードを印刷しました。");
    }
    if (!m_recordPath.isEmpty()) {
        std::vector<RecordedCard> printed = m_sheets->NumberedCards();
        printed.resize(static_cast<size_t>(drawn * m_sheets->CardsPerSheet()));
        lines << QStringLiteral("カード番号: ") + NumbersOf(printed);
        if (stopped) {
            lines << MarkNotPrinted(drawn);
        }
        lines << QStringLiteral("カード記録: ") + QDir::toNativeSeparators(m_recordPath);
    }
    Conclude(lines.join(QStringLiteral("\r\n")));
}

std::optional<int> FirstCardNumber(const ProgramState& state, CardRecordIndex& record,
                                   const QString& recordPath, QString& refusal) {
    FileError error;
    if (!record.Refresh(recordPath, error)) {
        refusal = RecordReadMessage(recordPath, error);
        return std::nullopt;
    }
    return std::max(record.NextNumber(), state.CardNumbersGiven.value(recordPath, 1));
}

void CardPrintRun::End() {
    m_running = false;
    m_timer->Stop(); // kept until the run goes: this may be its own callback
    delete m_progress.data();
    QApplication::restoreOverrideCursor();
}
