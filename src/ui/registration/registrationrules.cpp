#include "ui/registration/registrationrules.h"

const QStringList& PrefectureList() {
    static const QStringList list = {
        QStringLiteral("北海道"),   QStringLiteral("青森県"),   QStringLiteral("岩手県"),
        QStringLiteral("秋田県"),   QStringLiteral("山形県"),   QStringLiteral("宮城県"),
        QStringLiteral("福島県"),   QStringLiteral("群馬県"),   QStringLiteral("栃木県"),
        QStringLiteral("茨城県"),   QStringLiteral("埼玉県"),   QStringLiteral("千葉県"),
        QStringLiteral("東京都"),   QStringLiteral("神奈川県"), QStringLiteral("新潟県"),
        QStringLiteral("長野県"),   QStringLiteral("山梨県"),   QStringLiteral("静岡県"),
        QStringLiteral("愛知県"),   QStringLiteral("岐阜県"),   QStringLiteral("富山県"),
        QStringLiteral("石川県"),   QStringLiteral("福井県"),   QStringLiteral("滋賀県"),
        QStringLiteral("京都府"),   QStringLiteral("大阪府"),   QStringLiteral("兵庫県"),
        QStringLiteral("三重県"),   QStringLiteral("奈良県"),   QStringLiteral("和歌山県"),
        QStringLiteral("高知県"),   QStringLiteral("愛媛県"),   QStringLiteral("香川県"),
        QStringLiteral("徳島県"),   QStringLiteral("岡山県"),   QStringLiteral("鳥取県"),
        QStringLiteral("島根県"),   QStringLiteral("広島県"),   QStringLiteral("山口県"),
        QStringLiteral("福岡県"),   QStringLiteral("佐賀県"),   QStringLiteral("長崎県"),
        QStringLiteral("大分県"),   QStringLiteral("熊本県"),   QStringLiteral("宮崎県"),
        QStringLiteral("鹿児島県"), QStringLiteral("沖縄県"),
    };
    return list;
}

QString NextBloodType(const QString& text) {
    if (text == QStringLiteral("A")) {
        return QStringLiteral("O");
    }
    if (text == QStringLiteral("O")) {
        return QStringLiteral("B");
    }
    if (text == QStringLiteral("B")) {
        return QStringLiteral("AB");
    }
    return QStringLiteral("A");
}

int PrefectureNumber(const QString& text) {
    return static_cast<int>(PrefectureList().indexOf(text)) + 1;
}

QString MusicFileFilters() {
    return QStringList{
        QStringLiteral("音楽ファイル(*.mp3;*.mp2;*.wma;*.wav)"),
        QStringLiteral("mp3ファイル(*.mp3)"),
        QStringLiteral("mp2ファイル(*.mp2)"),
        QStringLiteral("wmaファイル(*.wma)"),
        QStringLiteral("wavファイル(*.wav)"),
        QStringLiteral("すべてのファイル(*.*)"),
    }
        .join(QStringLiteral(";;"));
}

QString PhotoFileFilters() {
    return QStringList{
        QStringLiteral("画像ファイル(*.jpg;*.bmp;*.gif)"),
        QStringLiteral("jpgファイル(*.jpg)"),
        QStringLiteral("bmpファイル(*.bmp)"),
        QStringLiteral("gifファイル(*.gif)"),
        QStringLiteral("すべてのファイル(*.*)"),
    }
        .join(QStringLiteral(";;"));
}

QSizeF PhotoPreviewTwips(double w, double h) {
    QSizeF size(kPhotoBoxWidthTwips, kPhotoBoxHeightTwips);
    if (!(w > 0) || !(h > 0)) {
        return size;
    }
    const double box = kPhotoBoxWidthTwips / kPhotoBoxHeightTwips;
    const double pic = w / h;
    if (pic == box) {
        return size;
    }
    if (pic < box) {
        size.setHeight(kPhotoBoxWidthTwips / pic);
    } else {
        size.setWidth(pic * kPhotoBoxHeightTwips);
    }
    return size;
}

QStringList DroppedExtensions(int field) {
    if (field == 11) {
        return {QStringLiteral(".MP2"), QStringLiteral(".MP3"), QStringLiteral(".WMA"),
                QStringLiteral(".WAV")};
    }
    if (field == 14) {
        return {QStringLiteral(".JPG"), QStringLiteral(".GIF"), QStringLiteral(".BMP")};
    }
    return {};
}

QString WithoutLineBreaks(QString text) {
    for (QChar& c : text) {
        if (c == u'\t' || c == u'\r' || c == u'\n') {
            c = u' ';
        }
    }
    return text;
}
