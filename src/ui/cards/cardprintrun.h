#pragma once

#include "core/cards/cardrenderer.h"
#include "core/cards/cardsettings.h"
#include "core/common/safefile.h"
#include "core/record/cardrecord.h"
#include "ui/cards/cardpreview.h"

#include <QFutureWatcher>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QPrinterInfo>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QPagedPaintDevice;
class QPageSize;
class QPdfWriter;
class QPrinter;
class QProgressDialog;
class SafeFile;
class QWidget;
class Timer;
struct ProgramState;
struct Services;

// One card issue run: sets the printer up for the paper layout, then prints one sheet per tick
// of a timer so that the window stays painted, and ends the job. With no printer the sheets go to
// a PDF file, and the user is told where it is at the end. The file is written under a temporary
// name and only takes its own when it is complete. A printer or file error abandons the job and
// is reported; nothing is left half-sent or half-written. A run of more than a few sheets can be
// stopped with 中止: the sheets printed until then are sent or written, the others are not.
//
// A numbered run prints each card's number (and, for phones, its QR code). A number once on paper
// or in a PDF is never given again: the run reads the card record (beside the PDF, or in the
// working folder when it prints) and refuses when it cannot read it exactly; it chooses every
// card, appends them all to the record and has them on the disk before it makes its first sheet,
// and prints nothing when the record cannot take them. The reading and the writing are done on
// other threads while the window stays painted. Cards a stopped (中止) or failed run did not make
// are marked 未印刷 in the record; their numbers are not given again either.
class CardPrintRun {
public:
    // Runs of more sheets than this show their progress.
    static constexpr int kQuietSheets = 3;
    // The most cards a numbered run gives: all of them are chosen and recorded before it prints.
    static constexpr int kMostNumberedCards = 10000;

    CardPrintRun(ProgramState& state, Services& services, QWidget* parent);
    ~CardPrintRun();
    CardPrintRun(const CardPrintRun&) = delete;
    CardPrintRun& operator=(const CardPrintRun&) = delete;

    // Sets the printer up and starts printing. printer is the printer to use; a null one writes
    // the PDF file pdfPath instead. Returns false when nothing is printed (the postcard question
    // answered No, no sheet to print, a printer that does not start); finished is called when a
    // started run has ended, whatever its outcome.
    // marks numbers the cards (its first number and roster are filled in from the record).
    // chosen: cards a preview showed; the run prints them when it chooses cards alike.
    bool Start(const CardRunValues& values, const QPrinterInfo& printer, const QString& pdfPath,
               std::function<void()> finished, CardMarks marks = {},
               const std::optional<ChosenCards>& chosen = std::nullopt);
    bool IsRunning() const { return m_running; }
    // Stops the run after the sheet being printed (as 中止 does).
    void Cancel();

    // The paper sizes a printer offers (by default what the printer reports; a PDF offers any).
    using PaperSizesLookup = std::function<QList<QPageSize>(const QPrinter&)>;
    void SetPaperSizesLookup(PaperSizesLookup lookup) { m_paperSizes = std::move(lookup); }

    // The card record as last read, kept so that the next reading reads only what was appended.
    // Not to be touched while a run is under way.
    CardRecordIndex& Record() { return *m_record; }

    struct FileOutcome {
        bool Ok = false;
        FileError Error;
    };

private:
    bool SetUpPrinter(const CardRunValues& values, const QPrinterInfo& printer, const QString& pdfPath);
    bool BeginOutput();
    bool OutputFailed() const;
    void DiscardOutput();
    void PrintNextSheet();
    void DecodePhotos(std::vector<PhotoRequest> requests);
    void PhotosDecoded();
    bool StartPrinting();
    void RecordRead();
    void RecordWritten();
    // Marks the cards of the sheets from sheet on as not printed; the words that say so.
    QString MarkNotPrinted(int sheet);
    void Fail();
    void Finish();
    void End();
    void Conclude(const QString& message);
    void SetProgressLabel(const QString& text);

    ProgramState& m_state;
    Services& m_services;
    QWidget* m_parent;
    std::unique_ptr<QPrinter> m_printer; // set up for the paper; prints unless a PDF is written
    std::unique_ptr<SafeFile> m_pdfFile;
    std::unique_ptr<QPdfWriter> m_pdfWriter;
    QPagedPaintDevice* m_device = nullptr; // the printer or the PDF writer
    QString m_pdfPath;
    FileError m_pdfError;
    PaperSizesLookup m_paperSizes;
    QPainter m_painter;
    std::unique_ptr<CardSheetPrinter> m_sheets;
    std::unique_ptr<Timer> m_timer;
    QPointer<QProgressDialog> m_progress;
    std::function<void()> m_finished;
    QString m_recordPath; // empty: the run is not numbered
    CardMarks m_marks;
    std::shared_ptr<CardRecordIndex> m_record;
    QFuture<FileOutcome> m_recordWork; // reading the record, then writing the run's cards into it
    std::unique_ptr<QFutureWatcher<FileOutcome>> m_recordWatcher;
    // The photos of the next sheet, decoded on other threads while the window stays responsive.
    std::vector<PhotoRequest> m_decodeRequests;
    QFuture<QImage> m_decoding;
    std::unique_ptr<QFutureWatcher<QImage>> m_decodeWatcher;
    bool m_running = false;
    bool m_cancelled = false;
};

// The name of the PDF file a run writes when there is no printer: "ビンゴカード_" and the date and
// time ("20261206_223000"), in folder; a number is added when such a file already exists.
QString CardPdfPath(const QString& folder, const QDateTime& now);

// The card record a numbered run adds to: beside the PDF, or in the working folder when there is none.
QString CardRecordPathOf(const ProgramState& state, const QString& pdfPath);

// The number the next numbered card of the record takes: after the highest one recorded and after
// every one given in this session. Nothing, with the message why, when the record exists but
// cannot be read exactly (numbers would be given twice). record is brought up to the file.
std::optional<int> FirstCardNumber(const ProgramState& state, CardRecordIndex& record,
                                   const QString& recordPath, QString& refusal);

// The folder PDF cards are written to: the working folder that holds the pictures folder, or the
// program folder when that does not exist.
QString CardOutputFolder(const ProgramState& state);
