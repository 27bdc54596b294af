#include "core/common/platform.h"
#include "core/config/settings.h"
#include "core/roster/participantfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

namespace {

// A working folder with Musics and Pictures, and a desktop to drop files from.
struct Folders {
    QTemporaryDir dir;
    SettingsRecord settings;
    Folders() {
        settings.Musics = Path(QStringLiteral("Musics"));
        settings.Pictures = Path(QStringLiteral("Pictures"));
        for (const char* sub : {"Musics", "Pictures", "Desktop"}) {
            QDir(dir.path()).mkpath(QString::fromLatin1(sub));
        }
    }
    QString Path(const QString& relative) const { return QDir::toNativeSeparators(dir.filePath(relative)); }
};

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

bool Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QString CopyFailed(const QString& name) {
    return name + QStringLiteral("のコピーに失敗しました\r\n") +
           QString::fromLocal8Bit(std::strerror(ENOENT));
}

TEST(ImportDroppedFile, CopiesSongsAndPhotosInUpperCaseAndIgnoresTheRest) {
    const struct {
        const char16_t* dropped; // on the desktop
        Field field;
        const char16_t* copiedAs; // nullptr: ignored
        TextEncoding encoding = TextEncoding::Cp932;
    } cases[] = {{u"Song.mp3", Field::Song, u"SONG.MP3"},
                 {u"b.wav", Field::Song, u"B.WAV"},
                 {u"Face.Jpg", Field::Photo, u"FACE.JPG"},
                 {u"p.jpeg", Field::Photo, nullptr},
                 {u"s.mp3", Field::Photo, nullptr},
                 {u"s.mp3", Field::Excluded, nullptr},
                 {u"歌🎉.mp3", Field::Song, u"歌🎉.MP3", TextEncoding::Utf8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.dropped).toStdString());
        Folders f;
        const QString source = f.Path(QStringLiteral("Desktop/") + QString::fromUtf16(c.dropped));
        ASSERT_TRUE(Write(source, "new"));
        const QString target = JoinPath(c.field == Field::Song ? f.settings.Musics : f.settings.Pictures,
                                        c.copiedAs ? QString::fromUtf16(c.copiedAs) : QStringLiteral("x"));
        ASSERT_TRUE(Write(target, "old"));
        const DroppedFile dropped = ImportDroppedFile(source, c.field, f.settings, c.encoding);
        EXPECT_EQ(dropped.Copied, c.copiedAs != nullptr);
        EXPECT_EQ(Read(target), c.copiedAs ? QByteArray("new") : QByteArray("old")); // replaced
        EXPECT_EQ(dropped.Name, c.copiedAs ? QString::fromUtf16(c.copiedAs) : QString());
        EXPECT_EQ(dropped.Message, QString());
        EXPECT_EQ(QDir(f.settings.Musics).count() + QDir(f.settings.Pictures).count(), 5u); // . and .. twice
        EXPECT_TRUE(QFile::exists(source)); // the original stays
    }
}

TEST(ImportDroppedFile, TellsWhyAFileIsNotCopiedAndKeepsAFileDroppedOnItself) {
    Folders f;
    const QString self = JoinPath(f.settings.Musics, QStringLiteral("SELF.MP3"));
    ASSERT_TRUE(Write(self, "the only copy"));
    EXPECT_TRUE(ImportDroppedFile(self, Field::Song, f.settings, TextEncoding::Cp932).Copied);
    EXPECT_EQ(Read(self), QByteArray("the only copy"));

    const QString odd = f.Path(QStringLiteral("Desktop/歌🎉.mp3"));
    ASSERT_TRUE(Write(odd, "x"));
    const DroppedFile refused = ImportDroppedFile(odd, Field::Song, f.settings, TextEncoding::Cp932);
    EXPECT_EQ(refused.Message,
              QStringLiteral("「🎉」は名簿ファイルに保存できない文字のため、入力できません。"));
    EXPECT_FALSE(refused.Copied);
    EXPECT_EQ(ImportDroppedFile(f.Path(QStringLiteral("x.mp3")), Field::Song, f.settings, TextEncoding::Cp932)
                  .Message,
              CopyFailed(QStringLiteral("X.MP3")));
    f.settings.Musics = f.Path(QStringLiteral("no/such/folder"));
    EXPECT_EQ(ImportDroppedFile(self, Field::Song, f.settings, TextEncoding::Cp932).Message,
              CopyFailed(QStringLiteral("SELF.MP3")));
}

TEST(AcceptChosenFile, OnlyFromTheFieldsOwnFolder) {
    Folders f;
    const struct {
        Field field;
        const char16_t* chosen; // relative; "" = cancelled
        const char16_t* text;
        const char16_t* subject; // message prefix; nullptr = none
    } cases[] = {
        {Field::Song, u"Musics/a.Mp3", u"a.Mp3", nullptr},
        {Field::Song, u"Musics/old/a.mp3", u"", u"音楽は"},
        {Field::Song, u"Pictures/a.mp3", u"", u"音楽は"},
        {Field::Song, u"", u"before.mp3", nullptr},
        {Field::Photo, u"Pictures/p.gif", u"p.gif", nullptr},
        {Field::Photo, u"p.jpg", u"", u"写真は"},
    };
    for (const auto& c : cases) {
        const QString chosen = *c.chosen ? f.Path(QString::fromUtf16(c.chosen)) : QString();
        const ChosenFile file =
            AcceptChosenFile(c.field, chosen, QStringLiteral("  before.mp3 "), f.settings);
        EXPECT_EQ(file.Text, QString::fromUtf16(c.text));
        const QString folder = ChooserFor(c.field, f.settings).Folder;
        EXPECT_EQ(file.Message, c.subject ? QString::fromUtf16(c.subject) + folder +
                                                QStringLiteral("\r\n内より選択してください")
                                          : QString());
    }
    EXPECT_EQ(ChooserFor(Field::Photo, f.settings).Folder, f.settings.Pictures);
}

} // namespace
