// Imports hostile and large files as ﾌｧｲﾙ → インポート does (read on the worker, the dialog over a
// window that repaints every 16 ms), for what a timed test must not measure: how long until the
// dialog shows the table (or the file is refused), the peak memory above idle, and the longest
// gap between two paints of the window. bench/transfer_hostile.sh runs it.
//
//   transfer_run make KIND FILE   writes the file for KIND (see kKinds)
//   transfer_run import FILE      imports it; prints one line of figures
#include "core/common/safefile.h"
#include "core/common/timing.h"
#include "core/programstate.h"
#include "core/transfer/importread.h"
#include "ui/transfer/importdialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>
#include <zip.h>

namespace {

long statusKilobytes(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(static_cast<qsizetype>(std::strlen(field))).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}

// A workbook of one sheet (inline strings, or shared ones when strings is given).
QByteArray workbook(const QByteArray& sheet, const QByteArray& strings = {}) {
    const QByteArray rels =
        "<Relationships><Relationship Id=\"rId1\" Type=\"x/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
        "<Relationship Id=\"rId2\" Type=\"x/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>";
    const QByteArray book = "<workbook xmlns:r=\"r\"><sheets><sheet name=\"a\" sheetId=\"1\" r:id=\"rId1\"/>"
                            "</sheets></workbook>";
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* out = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(out);
    zip_t* zip = zip_open_from_source(out, ZIP_TRUNCATE, &error);
    const std::pair<const char*, const QByteArray*> parts[] = {{"xl/workbook.xml", &book},
                                                               {"xl/_rels/workbook.xml.rels", &rels},
                                                               {"xl/sharedStrings.xml", &strings},
                                                               {"xl/worksheets/sheet1.xml", &sheet}};
    for (const auto& [name, bytes] : parts) {
        if (!bytes->isEmpty()) {
            zip_file_add(zip, name, zip_source_buffer(zip, bytes->constData(), bytes->size(), 0), 0);
        }
    }
    zip_close(zip);
    zip_source_open(out);
    zip_source_seek(out, 0, SEEK_END);
    QByteArray result(static_cast<qsizetype>(zip_source_tell(out)), '\0');
    zip_source_seek(out, 0, SEEK_SET);
    zip_source_read(out, result.data(), static_cast<zip_uint64_t>(result.size()));
    zip_source_close(out);
    zip_source_free(out);
    return result;
}

QByteArray participantsCsv(qint64 bytes) {
    QByteArray out = "氏名,生年月日,血液型,出身地,所属,コメント\r\n";
    for (int r = 1; out.size() < bytes - 200; ++r) {
        out +=
            "参加者 " + QByteArray::number(r) + ",1985/4/1,AB,神奈川県,\"第二営業部, 企画課\",よろしく\r\n";
    }
    return out;
}

QByteArray wideCsv(int columns) {
    QByteArray line = "氏名";
    for (int c = 1; c < columns; ++c) {
        line += ",x";
    }
    return line + "\r\n" + line + "\r\n";
}

QByteArray sparseBook() {
    QByteArray sheet = "<worksheet><sheetData>";
    for (int r = 1; r <= 20000; ++r) {
        const QByteArray n = QByteArray::number(r);
        sheet += "<row r=\"" + n + "\"><c r=\"XFD" + n + "\" t=\"b\"><v>1</v></c></row>";
    }
    return workbook(sheet + "</sheetData></worksheet>");
}

QByteArray hugeCellBook() {
    return workbook("<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row></sheetData>"
                    "</worksheet>",
                    "<sst><si><t>" + QByteArray(30 << 20, 'x') + "</t></si></sst>");
}

// A workbook of rows participants with shared strings, as spreadsheets write them.
QByteArray rowsBook(int rows) {
    QByteArray strings = "<sst>";
    QByteArray sheet = "<worksheet><sheetData>";
    int index = 0;
    const auto cell = [&](const QByteArray& text) {
        strings += "<si><t>" + text + "</t></si>";
        sheet += "<c t=\"s\"><v>" + QByteArray::number(index++) + "</v></c>";
    };
    for (int r = 0; r <= rows; ++r) {
        sheet += "<row>";
        if (r == 0) {
            for (const char* h : {"氏名", "生年月日", "血液型", "出身地", "所属", "コメント"}) {
                cell(h);
            }
        } else {
            cell("参加者 " + QByteArray::number(r) + " 髙橋");
            sheet += "<c><v>" + QByteArray::number(31000 + r) + "</v></c>";
            cell("AB");
            cell("神奈川県");
            cell("第二営業部 企画課");
            cell("今日はよろしくお願いします。楽しみにしていました！");
        }
        sheet += "</row>";
    }
    return workbook(sheet + "</sheetData></worksheet>", strings + "</sst>");
}

// The sheet at the unpacking limit: as many participants as fit in 64 MB of XML.
QByteArray fullSheetBook() {
    QByteArray sheet = "<worksheet><sheetData>";
    for (int r = 1; sheet.size() < (64 << 20) - 300; ++r) {
        const QByteArray n = QByteArray::number(r);
        sheet += "<row r=\"" + n + "\"><c r=\"A" + n + "\" t=\"inlineStr\"><is><t>参加者 " + n +
                 "</t></is></c><c r=\"B" + n + "\"><v>" + n + "</v></c></row>";
    }
    return workbook(sheet + "</sheetData></worksheet>");
}

// A sheet that unpacks to 200 MB; forged, the archive claims 1000 bytes for it.
QByteArray bomb(bool forged) {
    QByteArray sheet = "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>" +
                       QByteArray(200 << 20, ' ') + "</t></is></c></row></sheetData></worksheet>";
    QByteArray book = workbook(sheet);
    sheet.clear();
    if (forged) {
        // The uncompressed size in the local (offset 22) and central (offset 24) headers of the sheet.
        const QByteArray name = "xl/worksheets/sheet1.xml";
        for (const auto& [signature, offset] :
             {std::pair{QByteArray("PK\x03\x04"), 22}, {QByteArray("PK\x01\x02"), 24}}) {
            for (qsizetype at = book.indexOf(signature); at >= 0; at = book.indexOf(signature, at + 4)) {
                const qsizetype nameAt = at + (signature[2] == 3 ? 30 : 46);
                if (book.mid(nameAt, name.size()) == name) {
                    const char size[4] = {static_cast<char>(0xE8), 0x03, 0, 0};
                    book.replace(at + offset, 4, size, 4);
                }
            }
        }
    }
    return book;
}

// Shared strings at the unpacking limit, each used once by a row of the sheet.
QByteArray stringsBook() {
    QByteArray strings = "<sst>";
    QByteArray sheet = "<worksheet><sheetData>";
    for (int i = 0; strings.size() < (64 << 20) - 300; ++i) {
        const QByteArray n = QByteArray::number(i);
        strings += "<si><t>参加者 " + n + "</t></si>";
        if (i < 20000) {
            sheet += "<row><c t=\"s\"><v>" + n + "</v></c></row>";
        }
    }
    return workbook(sheet + "</sheetData></worksheet>", strings + "</sst>");
}

const std::vector<std::pair<const char*, std::function<QByteArray()>>> kKinds = {
    {"sparse-xfd.xlsx", sparseBook},
    {"one-char-lines.csv", [] { return QByteArray(60 << 20, 'a').replace("aa", "a\n"); }},
    {"wide-100001.csv", [] { return wideCsv(100001); }},
    {"wide-300001.csv", [] { return wideCsv(300001); }},
    {"huge-cell.xlsx", hugeCellBook},
    {"participants-64mb.csv", [] { return participantsCsv(64 << 20); }},
    {"sheet-64mb.xlsx", fullSheetBook},
    {"strings-64mb.xlsx", stringsBook},
    {"rows-10000.xlsx", [] { return rowsBook(10000); }},
    {"rows-300.xlsx", [] { return rowsBook(300); }},
    {"bomb-honest.xlsx", [] { return bomb(false); }},
    {"bomb-forged.xlsx", [] { return bomb(true); }},
};

// A window that asks to be painted every 16 ms and remembers the longest wait between paints. It
// writes Japanese, as the main window's menus do, so that the fonts are loaded before the import.
class Ticker : public QWidget {
public:
    Ticker() {
        resize(640, 480);
        connect(&m_timer, &QTimer::timeout, this, [this] { update(); });
        m_timer.start(16);
        m_clock.start();
    }
    qint64 LongestGapMs() const { return m_longest; }
    qint64 LongestGapEnd() const { return m_longestEnd; } // ms since the window was made
    // The longest gap that began at from or later and ended by to (ms since the window was made).
    qint64 LongestGapWithin(qint64 from, qint64 to) const {
        qint64 longest = 0;
        for (const auto& [end, gap] : m_gaps) {
            if (end - gap >= from && end <= to) {
                longest = std::max(longest, gap);
            }
        }
        return longest;
    }
    qint64 Now() const { return m_clock.elapsed(); }
    void Reset() { m_longest = 0; }

protected:
    void paintEvent(QPaintEvent*) override {
        const qint64 now = m_clock.elapsed();
        if (m_last >= 0) {
            m_gaps.emplace_back(now, now - m_last);
            if (now - m_last > m_longest) {
                m_longest = now - m_last;
                m_longestEnd = now;
            }
        }
        m_last = now;
        QPainter painter(this);
        painter.fillRect(rect(), QColor::fromHsv(static_cast<int>(now / 10 % 360), 80, 200));
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("ﾌｧｲﾙ → インポート"));
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = -1;
    qint64 m_longest = 0;
    qint64 m_longestEnd = 0;
    std::vector<std::pair<qint64, qint64>> m_gaps; // end, length
};

int import(const QString& path) {
    Ticker window;
    window.show();
    ProgramState state;
    state.Roster.Clear();
    QtClock clock;
    QElapsedTimer elapsed;
    long idle = 0;
    std::shared_ptr<ImportRead> read;
    std::unique_ptr<ImportDialog> dialog;
    qint64 shown = -1;
    qint64 made = -1;
    qint64 readDone = -1;
    qint64 startedAt = 0;
    qint64 shownAt = -1;
    qint64 readDoneAt = -1;
    QString outcome;
    QTimer poll;
    // Idle first: the window up and painting for half a second.
    QTimer::singleShot(500, [&] {
        idle = statusKilobytes("VmRSS:");
        window.Reset();
        elapsed.start();
        startedAt = window.Now();
        read = ImportRead::File(path);
        if (read->WaitFor(50) && (!read->Succeeded() || read->Source()->Table().Rows.isEmpty())) {
            shown = elapsed.elapsed();
            outcome = QStringLiteral("refused");
            QTimer::singleShot(300, qApp, &QCoreApplication::quit);
            return;
        }
        const qint64 before = elapsed.elapsed();
        dialog =
            std::make_unique<ImportDialog>(read, path, state.Roster, state.RosterEncoding, clock, &window);
        made = elapsed.elapsed() - before;
        dialog->show();
        shownAt = window.Now();
        poll.start(2);
    });
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (readDone < 0 && read->IsDone()) {
            readDone = elapsed.elapsed();
            readDoneAt = window.Now();
        }
        if (dialog->IsReady() || !dialog->Failure().isEmpty()) {
            shown = elapsed.elapsed();
            outcome = dialog->IsReady() ? QStringLiteral("dialog") : QStringLiteral("refused");
            poll.stop();
            QTimer::singleShot(300, qApp, &QCoreApplication::quit);
        } else if (elapsed.elapsed() > 120000) {
            outcome = QStringLiteral("timeout");
            poll.stop();
            qApp->quit();
        }
    });
    QApplication::exec();
    const long peak = statusKilobytes("VmHWM:");
    QString detail;
    if (dialog && dialog->IsReady()) {
        const SourceTable& t = dialog->Source().Table();
        detail = QStringLiteral("rows kept %1, later %2, columns %3 of %4")
                     .arg(t.Rows.size())
                     .arg(t.LaterRows)
                     .arg(t.Width)
                     .arg(t.FileWidth);
    } else {
        // The message without the path, on one line.
        const QString message = dialog ? dialog->Failure()
                                : read ? ImportFailureMessage(path, *read)
                                       : QString();
        detail = message.mid(path.size()).simplified();
    }
    if (qEnvironmentVariableIsSet("MIRDA_TRANSFER_STEPS")) {
        std::printf("dialog made in %lld ms, read done at %lld ms, longest gap ended at %lld ms\n",
                    static_cast<long long>(made), static_cast<long long>(readDone),
                    static_cast<long long>(window.LongestGapEnd() - startedAt));
    }
    // While the file is read, from a quarter of a second after the dialog was shown (its first
    // paint done) to the end of the read.
    const qint64 whileReading =
        shownAt >= 0 && readDoneAt > shownAt + 250 ? window.LongestGapWithin(shownAt + 250, readDoneAt) : -1;
    std::printf(
        "%s\t%.1f MB\t%s after %lld ms\tpeak +%.0f MB\tlongest paint gap %lld ms (while reading %s)\t%s\n",
        qPrintable(path.section(u'/', -1)), QFile(path).size() / 1048576.0, qPrintable(outcome),
        static_cast<long long>(shown), (peak - idle) / 1024.0, static_cast<long long>(window.LongestGapMs()),
        whileReading < 0 ? "-" : qPrintable(QStringLiteral("%1 ms").arg(whileReading)), qPrintable(detail));
    return outcome == u"timeout" ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "import") == 0) {
        QApplication app(argc, argv);
        return import(QApplication::arguments().at(2));
    }
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 4 && args.at(1) == u"make") {
        for (const auto& [name, make] : kKinds) {
            if (args.at(2) == QLatin1String(name)) {
                FileError error;
                return WriteFileSafely(args.at(3), make(), error) ? 0 : 1;
            }
        }
    }
    std::fprintf(stderr, "transfer_run make KIND FILE | transfer_run import FILE\nkinds:");
    for (const auto& kind : kKinds) {
        std::fprintf(stderr, " %s", kind.first);
    }
    std::fprintf(stderr, "\n");
    return 2;
}
