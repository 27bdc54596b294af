// Functions from text to text, driven by the case files in tests/data/functions: each case names
// a function, its arguments and the result expected.
#include "core/common/cp932.h"
#include "core/common/linebreak.h"
#include "core/common/numeric.h"
#include "core/common/textfile.h"
#include "core/common/waitseconds.h"
#include "core/config/settings.h"
#include "core/config/settingsfile.h"
#include "core/media/mediatime.h"
#include "core/roster/participantfiles.h"
#include "core/roster/pool.h"
#include "core/roster/recordfield.h"
#include "core/roster/rosterfile.h"
#include "support/casefile.h"
#include "support/fakes.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace {

QString Num(double value) {
    return QString::number(value, 'g', 12);
}

// A conversion that may refuse: the value it gives, "refused" in front when it refuses.
template <typename Int, typename Arg, typename Value>
QString Converted(bool (*convert)(Arg, Int&), const Value& value) {
    Int out = 0;
    const bool ok = convert(value, out);
    return (ok ? QString() : QStringLiteral("refused ")) + QString::number(out);
}

const char* EncodingName(TextEncoding encoding) {
    return encoding == TextEncoding::Cp932 ? "Cp932" : encoding == TextEncoding::Utf8 ? "Utf8" : "Utf8Bom";
}

using Args = QList<QByteArray>;
QString T(const QByteArray& bytes) {
    return QString::fromUtf8(bytes);
}
double D(const QByteArray& bytes) {
    return QString::fromUtf8(bytes).toDouble();
}
// The bytes given, or with @ the bytes of that file under tests/data.
QByteArray Source(const QByteArray& arg) {
    QFile f(QStringLiteral(MIRDA_TEST_DATA "/") + T(arg.mid(1)));
    return !arg.startsWith('@') ? arg : f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// A working folder with Musics and Pictures (each holding one old file) and a desktop to drop
// files from; what a function tells is given relative to it, and the system's "no such file" as
// ENOENT.
struct Folders {
    QTemporaryDir dir;
    SettingsRecord settings;
    Folders() {
        settings.Musics = Path("Musics");
        settings.Pictures = Path("Pictures");
        for (const char* name : {"Musics/SONG.MP3", "Pictures/FACE.JPG", "Desktop/"}) {
            Write(name, "old");
        }
    }
    QString Path(const QByteArray& relative) const { return dir.filePath(T(relative)); }
    bool Write(const QByteArray& relative, const QByteArray& bytes) const {
        QDir().mkpath(QFileInfo(Path(relative)).path());
        QFile f(Path(relative));
        return relative.endsWith('/') || (f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    // Each file of the two folders with what it holds.
    QString Told(const QString& text) const {
        QStringList files;
        for (const char* folder : {"Musics", "Pictures"}) {
            for (const QFileInfo& file : QDir(Path(folder)).entryInfoList(QDir::Files, QDir::Name)) {
                QFile f(file.filePath());
                files << QString::fromLatin1(folder) + u'/' + file.fileName() + u'=' +
                             (f.open(QIODevice::ReadOnly) ? T(f.readAll()) : QString());
            }
        }
        return QString(text + u'|' + files.join(u' '))
            .replace(dir.path(), QStringLiteral("~"))
            .replace(QString::fromLocal8Bit(std::strerror(ENOENT)), QStringLiteral("ENOENT"));
    }
};

const std::map<QString, std::function<QString(const Args&)>> kFunctions = {
    // A file dropped on a field (written first, holding "new", unless it is missing), with the
    // Musics folder given.
    {QStringLiteral("DropFile"),
     [](const Args& a) {
         Folders f;
         f.settings.Musics = f.Path(a[3]);
         if (a[4] != "missing" && !QFile::exists(f.Path(a[0]))) {
             f.Write(a[0], "new");
         }
         const DroppedFile dropped =
             ImportDroppedFile(f.Path(a[0]), Field(a[1].toInt()), f.settings,
                               a[2] == "Utf8" ? TextEncoding::Utf8 : TextEncoding::Cp932);
         return f.Told(
             QStringLiteral("%1|%2|%3|%4")
                 .arg(int(dropped.Copied))
                 .arg(dropped.Name, dropped.Message,
                      QFile::exists(f.Path(a[0])) ? QStringLiteral("kept") : QStringLiteral("gone")));
     }},
    // The file chosen in the song or photo field's dialog (nothing: cancelled) over a field that
    // held "  before.mp3 ".
    {QStringLiteral("ChooseFile"),
     [](const Args& a) {
         Folders f;
         const ChosenFile file =
             AcceptChosenFile(Field(a[0].toInt()), a[1].isEmpty() ? QString() : f.Path(a[1]),
                              QStringLiteral("  before.mp3 "), f.settings);
         return f
             .Told(file.Text + u'|' + file.Message + u'|' +
                   ChooserFor(Field(a[0].toInt()), f.settings).Folder)
             .section(u'|', 0, 2);
     }},
    {QStringLiteral("NumericValue"), [](const Args& a) { return Num(NumericValue(T(a[0]))); }},
    {QStringLiteral("RoundHalfEven"), [](const Args& a) { return Num(RoundHalfEven(D(a[0]))); }},
    {QStringLiteral("ToInt16"), [](const Args& a) { return Converted(ToInt16, D(a[0])); }},
    {QStringLiteral("ToInt32"), [](const Args& a) { return Converted(ToInt32, D(a[0])); }},
    {QStringLiteral("ParseInt32"), [](const Args& a) { return Converted(ParseInt32, T(a[0])); }},
    {QStringLiteral("SplitPath"),
     [](const Args& a) {
         QString folder;
         const QString name = SplitPath(T(a[0]), folder);
         return name + u'|' + folder;
     }},
    {QStringLiteral("FormatNumberField"), [](const Args& a) { return FormatField(D(a[0]), T(a[1])); }},
    {QStringLiteral("FormatTextField"), [](const Args& a) { return FormatField(T(a[0]), T(a[1])); }},
    {QStringLiteral("FormatNumber"), [](const Args& a) { return FormatNumber(D(a[0]), T(a[1])); }},
    // The lines of a text in a box as wide as the given number of full-width characters (a
    // half-width one counts a half); ⏎ is a line end, written CR LF in the text given.
    {QStringLiteral("BreakIntoLines"),
     [](const Args& a) {
         const auto width = [](const QString& text) {
             double w = 0;
             for (const QChar c : text) {
                 w += c.unicode() < 0x80 ? 0.5 : 1.0;
             }
             return w;
         };
         const QString text = T(a[1]).replace(QStringLiteral("⏎"), QStringLiteral("\r\n"));
         return BreakIntoLines(text, D(a[0]), width).join(QStringLiteral("⏎"));
     }},
    // A wait of n seconds on a simulated clock: the second it ends in, whether that is within
    // 10 ms of the second's change, and how often events ran.
    {QStringLiteral("WaitSeconds"),
     [](const Args& a) {
         long long now = T(a[0]).toLongLong();
         int pumps = 0;
         WaitSeconds(T(a[1]).toInt(),
                     WaitHooks{[&] { return now; }, [&](int ms) { now += ms; }, [&] { ++pumps; }});
         return QStringLiteral("second %1%2, %3 pumps")
             .arg(now / 1000)
             .arg(QLatin1String(now % 1000 < 10 ? "" : " late"))
             .arg(pumps);
     }},
    {QStringLiteral("RoundHalfUp"), [](const Args& a) { return QString::number(RoundHalfUp(D(a[0]))); }},
    {QStringLiteral("ReportedTime"),
     [](const Args& a) { return QString::number(ReportedTime(T(a[0]).toLongLong(), T(a[1]), D(a[2]))); }},
    {QStringLiteral("RandomIndex"),
     [](const Args& a) {
         ScriptedFractions fractions({D(a[0])});
         return QString::number(RandomIndex(fractions, qint16(T(a[1]).toInt())));
     }},
    {QStringLiteral("PhotoPreviewTwips"),
     [](const Args& a) {
         const QSizeF size = PhotoPreviewTwips(D(a[0]), D(a[1]));
         return Num(size.width()) + u'x' + Num(size.height());
     }},
    {QStringLiteral("ProgramFolder"),
     [](const Args& a) { return QDir::fromNativeSeparators(ComputeProgramFolder(T(a[0]))); }},
    // Names|Pictures|Musics|GameMode|Dflag|Cols|Rows|Backcolor
    {QStringLiteral("ParseIni"),
     [](const Args& a) {
         SettingsRecord s;
         s.ParseIni(T(a[0]));
         return QStringList{s.RosterFilePath,
                            s.Pictures,
                            s.Musics,
                            QString::number(s.GameMode),
                            s.Dflag,
                            QString::number(s.Cols),
                            QString::number(s.Rows),
                            s.Backcolor}
             .join(u'|');
     }},
    // The settings text as written (the mark and UTF-8, or CP932) and whether it reads back as it
    // was.
    {QStringLiteral("SettingsText"),
     [](const Args& a) {
         const QByteArray bytes = EncodeSettingsText(T(a[0]));
         const bool mark = bytes.startsWith("\xEF\xBB\xBF");
         return (mark ? QStringLiteral("mark|") : QStringLiteral("|")) +
                (mark ? T(bytes.mid(3)) : DecodeCp932(bytes)) +
                (DecodeSettingsText(bytes) == T(a[0]) ? QStringLiteral("|same") : QStringLiteral("|changed"));
     }},
    {QStringLiteral("ForeignEncoding"),
     [](const Args& a) {
         DecodeReport report;
         const QString text = DecodeForeignText(a[0], &report);
         return T(EncodingName(report.Encoding)) + u'|' + text;
     }},
    // The text as read, the bytes not part of a character, and whether writing it back gives the
    // same bytes.
    {QStringLiteral("Cp932RoundTrip"),
     [](const Args& a) {
         qsizetype undecodable = -1;
         const QString text = DecodeCp932(a[0], &undecodable);
         QByteArray back;
         const bool same = EncodeCp932(text, back) && back == a[0];
         return text + u'|' + QString::number(undecodable) +
                (same ? QStringLiteral("|same") : QStringLiteral("|changed"));
     }},
    // What typing or pasting leaves in a field: the text kept (or the edit refused whole), and the
    // characters the file cannot hold that were taken out.
    {QStringLiteral("FitTypedText"),
     [](const Args& a) {
         QString input = T(a[2]);
         int cursor = T(a[3]).toInt();
         QString refused;
         const TextEncoding encoding = a[4] == "Utf8" ? TextEncoding::Utf8 : TextEncoding::Cp932;
         const bool kept =
             FitTypedText(Field(T(a[0]).toInt()), input, cursor, T(a[1]).size(), encoding, refused);
         return (kept ? input : QStringLiteral("<refused>")) + u'|' + refused;
     }},
    {QStringLiteral("RosterCell"),
     [](const Args& a) {
         RosterTable roster;
         ReadRoster(Source(a[0]), roster);
         return roster.Cell(RosterColumn(T(a[1]).toInt()), T(a[2]).toInt());
     }},
    // The roster read and written back in the encoding it was read in (or the one named): "same"
    // for the bytes read, else the text written, or the refusal's last line.
    {QStringLiteral("RosterWrite"),
     [](const Args& a) {
         const QByteArray source = Source(a[0]);
         RosterTable roster;
         const RosterFileReport read = ReadRoster(source, roster);
         const TextEncoding encoding = a[1] == "Cp932"  ? TextEncoding::Cp932
                                       : a[1] == "Utf8" ? TextEncoding::Utf8
                                                        : read.Encoding;
         QBuffer buffer;
         buffer.open(QIODevice::WriteOnly);
         QString error;
         if (!WriteRoster(buffer, roster, encoding, error)) {
             return QStringLiteral("refused ") + error.section(QStringLiteral("\r\n"), -1) +
                    (buffer.data().isEmpty() ? QString() : QStringLiteral(" but written"));
         }
         const QByteArray& out = buffer.data();
         return out == source                     ? QStringLiteral("same")
                : encoding == TextEncoding::Cp932 ? DecodeCp932(out)
                                                  : T(out);
     }},
    {QStringLiteral("RosterRowsNotRead"),
     [](const Args& a) {
         RosterTable roster;
         return QString::number(ReadRoster(Source(a[0]), roster).RowsNotRead);
     }},
    {QStringLiteral("RosterIsText"),
     [](const Args& a) {
         RosterTable roster;
         return QString::fromLatin1(ReadRoster(Source(a[0]), roster).PlainlyNotText() ? "no" : "yes");
     }},
    // The bytes written, or where the text holds a character CP932 has no code for.
    {QStringLiteral("Cp932Encode"),
     [](const Args& a) {
         QByteArray bytes;
         qsizetype bad = -1;
         const bool ok = EncodeCp932(T(a[0]), bytes, &bad);
         EXPECT_EQ(FirstNonCp932Character(T(a[0])), ok ? -1 : bad);
         return ok ? T(bytes.toHex(' '))
                   : QStringLiteral("refused at %1, %2 bytes").arg(bad).arg(bytes.size());
     }},
};

TEST(Functions, CasesFromData) {
    const int cases = ForEachCase(QStringLiteral("functions"), QStringLiteral("*.tsv"),
                                  [](const std::string& where, QStringList fields) {
                                      const auto function = kFunctions.find(fields.takeFirst());
                                      ASSERT_TRUE(function != kFunctions.end() && !fields.isEmpty()) << where;
                                      Args args;
                                      for (const QString& field : fields) {
                                          args.append(UnescapeCase(field));
                                      }
                                      const QString expected = T(args.takeLast());
                                      EXPECT_EQ(function->second(args).toStdString(), expected.toStdString())
                                          << where;
                                  });
    EXPECT_GE(cases, 150);
}

} // namespace
