#pragma once

#include "core/cards/cardrenderer.h"
#include "core/cards/cardsettings.h"
#include "core/common/safefile.h"

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
// A numbered run prints each card's number (and, for phones, its QR code) and at its end adds the
// cards it sent to the card record: beside the PDF, or in the working folder when it printed.
class CardPrintRun {
public:
    // Runs of more sheets than this show their progress.
    static constexpr int kQuietSheets = 3;

    CardPrintRun(ProgramState& state, Services& services, QWidget* parent);
    ~CardPrintRun();
    CardPrintRun(const CardPrintRun&) = delete;
    CardPrintRun& operator=(const CardPrintRun&) = delete;

    // Sets the printer up and starts printing. printer is the printer to use; a null one writes
    // the PDF file pdfPath instead. Returns false when nothing is printed (the postcard question
    // answered No, no sheet to print, a printer that does not start); finished is called when a
    // started run has ended, whatever its outcome.
    // marks numbers the cards (its first number and roster are filled in from the record).
    bool Start(const CardRunValues& values, const QPrinterInfo& printer, const QString& pdfPath,
               std::function<void()> finished, CardMarks marks = {});
    bool IsRunning() const { return m_running; }
    // Stops the run after the sheet being printed (as 中止 does).
    void Cancel();

    // The paper sizes a printer offers (by default what the printer reports; a PDF offers any).
    using PaperSizesLookup = std::function<QList<QPageSize>(const QPrinter&)>;
    void SetPaperSizesLookup(PaperSizesLookup lookup) { m_paperSizes = std::move(lookup); }

private:
    bool SetUpPrinter(const CardRunValues& values, const QPrinterInfo& printer, const QString& pdfPath);
    bool BeginOutput();
    bool OutputFailed() const;
    void DiscardOutput();
    void PrintNextSheet();
    void DecodePhotos(std::vector<PhotoRequest> requests);
    void PhotosDecoded();
    void WriteRecord();
    void Fail();
    void Finish();
    void End();

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
// every one printed in this session. Nothing, with the message why, when the record exists but
// cannot be read (numbers would be given twice).
std::optional<int> FirstCardNumber(const ProgramState& state, const QString& recordPath, QString& refusal);

// The folder PDF cards are written to: the working folder that holds the pictures folder, or the
// program folder when that does not exist.
QString CardOutputFolder(const ProgramState& state);
