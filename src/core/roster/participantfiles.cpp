#include "core/roster/participantfiles.h"

#include "core/common/blank.h"
#include "core/common/numeric.h"
#include "core/common/platform.h"
#include "core/common/safefile.h"
#include "core/config/settings.h"

#include <QDir>
#include <QStringList>

namespace {

bool IsSong(Field field) {
    return field == Field::Song;
}

// The extensions a field takes from a drop (upper case, with the dot); none for other fields.
QStringList DroppedExtensions(Field field) {
    if (field == Field::Song) {
        return {QStringLiteral(".MP2"), QStringLiteral(".MP3"), QStringLiteral(".WMA"),
                QStringLiteral(".WAV")};
    }
    if (field == Field::Photo) {
        return {QStringLiteral(".JPG"), QStringLiteral(".GIF"), QStringLiteral(".BMP")};
    }
    return {};
}

} // namespace

FileChooser ChooserFor(Field field, const SettingsRecord& settings) {
    const QStringList filters =
        IsSong(field)
            ? QStringList{QStringLiteral("音楽ファイル(*.mp3;*.mp2;*.wma;*.wav)"),
                          QStringLiteral("mp3ファイル(*.mp3)"),
                          QStringLiteral("mp2ファイル(*.mp2)"),
                          QStringLiteral("wmaファイル(*.wma)"),
                          QStringLiteral("wavファイル(*.wav)"),
                          QStringLiteral("すべてのファイル(*.*)")}
            : QStringList{QStringLiteral("画像ファイル(*.jpg;*.bmp;*.gif)"),
                          QStringLiteral("jpgファイル(*.jpg)"), QStringLiteral("bmpファイル(*.bmp)"),
                          QStringLiteral("gifファイル(*.gif)"), QStringLiteral("すべてのファイル(*.*)")};
    return {QStringLiteral("開く"), IsSong(field) ? settings.Musics : settings.Pictures,
            filters.join(QStringLiteral(";;"))};
}

ChosenFile AcceptChosenFile(Field field, const QString& chosen, const QString& fieldText,
                            const SettingsRecord& settings) {
    if (chosen.isEmpty()) {
        return {TrimSpaces(fieldText), QString()};
    }
    const QString folder = IsSong(field) ? settings.Musics : settings.Pictures;
    QString chosenFolder;
    const QString name = SplitPath(QDir::toNativeSeparators(chosen), chosenFolder);
    if (!SameFolder(chosenFolder, folder)) {
        return {QString(), (IsSong(field) ? QStringLiteral("音楽は") : QStringLiteral("写真は")) + folder +
                               QStringLiteral("\r\n内より選択してください")};
    }
    return {name, QString()};
}

DroppedFile ImportDroppedFile(const QString& path, Field field, const SettingsRecord& settings,
                              TextEncoding encoding) {
    DroppedFile dropped;
    QString folder;
    // The copy is named in upper case; it is copied from the path as dropped, which on a
    // case-sensitive file system is the only name that exists.
    const QString name = SplitPath(QDir::toNativeSeparators(path), folder).toUpper();
    if (!DroppedExtensions(field).contains(name.right(4))) {
        return dropped;
    }
    dropped.Name = name;
    QString storable = name;
    const QString refused = TakeOutUnencodable(storable, encoding);
    if (!refused.isEmpty()) {
        dropped.Message = RefusedCharacterMessage(refused);
        return dropped;
    }
    FileError error;
    const QString target = IsSong(field) ? settings.Musics : settings.Pictures;
    dropped.Copied = CopyFileSafely(path, JoinPath(target, name), error);
    if (!dropped.Copied) {
        dropped.Message = name + QStringLiteral("のコピーに失敗しました\r\n") + error.Text;
    }
    return dropped;
}

QSizeF PhotoPreviewTwips(double w, double h) {
    QSizeF size(kPhotoBoxWidthTwips, kPhotoBoxHeightTwips);
    if (!(w > 0) || !(h > 0)) {
        return size;
    }
    const double box = kPhotoBoxWidthTwips / kPhotoBoxHeightTwips;
    const double pic = w / h;
    if (pic < box) {
        size.setHeight(kPhotoBoxWidthTwips / pic);
    } else if (pic > box) {
        size.setWidth(pic * kPhotoBoxHeightTwips);
    }
    return size;
}
