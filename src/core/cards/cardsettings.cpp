#include "core/cards/cardsettings.h"

#include "core/common/numeric.h"

#include <QStringList>

const std::array<PaperLayout, kPaperLayoutCount>& PaperLayouts() {
    static const std::array<PaperLayout, kPaperLayoutCount> layouts = {{
        {QStringLiteral("Ａ４縦  ４面付け"), QStringLiteral("A4"), 1, 4, 800000},
        {QStringLiteral("Ａ４縦  ２面付け"), QStringLiteral("A4"), 1, 2, 1235000},
        {QStringLiteral("Ａ４縦  １面付け"), QStringLiteral("A4"), 1, 1, 1850000},
        {QStringLiteral("Ａ４横  ４面付け"), QStringLiteral("A4"), 2, 4, 800000},
        {QStringLiteral("Ａ４横  ２面付け"), QStringLiteral("A4"), 2, 2, 1235000},
        {QStringLiteral("Ａ４横  １面付け"), QStringLiteral("A4"), 2, 1, 1850000},
        {QStringLiteral("Ｂ５縦  ２面付け"), QStringLiteral("B5"), 1, 2, 1035000},
        {QStringLiteral("Ｂ５縦  １面付け"), QStringLiteral("B5"), 1, 1, 1570000},
        {QStringLiteral("Ｂ５横  ２面付け"), QStringLiteral("B5"), 2, 2, 1035000},
        {QStringLiteral("Ｂ５横  １面付け"), QStringLiteral("B5"), 2, 1, 1570000},
        {QStringLiteral("はがき縦  １面付け"), QStringLiteral("はがき"), 1, 1, 750000},
        {QStringLiteral("はがき横  １面付け"), QStringLiteral("はがき"), 2, 1, 750000},
    }};
    return layouts;
}

QStringList GridSizeTexts() {
    return {QStringLiteral("３×３"), QStringLiteral("５×５"), QStringLiteral("７×７"),
            QStringLiteral("９×９")};
}

namespace {

// Full-width ASCII forms (U+FF01..U+FF5E) and the ideographic space become their half-width forms.
QChar HalfWidth(QChar ch) {
    const char16_t u = ch.unicode();
    if (u >= 0xFF01 && u <= 0xFF5E) {
        return QChar(static_cast<char16_t>(u - 0xFEE0));
    }
    if (u == 0x3000) {
        return QChar(u' ');
    }
    return ch;
}

} // namespace

int ReadFramesPerSide(const QString& text) {
    if (text.isEmpty()) {
        return 5;
    }
    const double n = RoundHalfEven(NumericValue(QString(HalfWidth(text.at(0)))));
    if (n == 3 || n == 5 || n == 7 || n == 9) {
        return static_cast<int>(n);
    }
    return 5;
}

int ReadPaperLayout(const QString& text) {
    const auto& layouts = PaperLayouts();
    for (int i = 0; i < kPaperLayoutCount; ++i) {
        if (layouts[static_cast<size_t>(i)].Text == text) {
            return i;
        }
    }
    return kDefaultPaperLayout;
}

namespace {

// The colour text as a 32-bit integer the way numbers are converted for the printer: surrounding
// spaces and "," ignored, &H (hexadecimal) and &O (octal) accepted, fractions rounded.
bool ReadColourNumber(const QString& text, qint32& number) {
    QString t = text.trimmed();
    t.remove(u',');
    if (t.size() > 2 && t.at(0) == u'&' &&
        (t.at(1) == u'H' || t.at(1) == u'h' || t.at(1) == u'O' || t.at(1) == u'o')) {
        // &H and &O numbers: the whole rest must be digits of that base.
        bool ok = false;
        const qulonglong value = t.mid(2).toULongLong(&ok, t.at(1).toUpper() == u'H' ? 16 : 8);
        if (!ok || value > 0xFFFFFFFFULL) {
            return false;
        }
        number = static_cast<qint32>(static_cast<quint32>(value));
        return true;
    }
    // Any other text must be a number as a whole (sign, fraction and exponent allowed).
    for (const QChar ch : t) {
        if (!(ch.unicode() < 128 &&
              (ch.isDigit() || ch == u'.' || ch == u'+' || ch == u'-' || ch == u'e' || ch == u'E'))) {
            return false;
        }
    }
    bool ok = false;
    const double value = t.toDouble(&ok);
    return ok && ToInt32(value, number);
}

} // namespace

QColor ReadTextColour(const QString& text) {
    qint32 number = 0;
    if (!ReadColourNumber(text, number) || number < 0 || number > 0xFFFFFF) {
        return Qt::black;
    }
    return QColor(number & 0xFF, (number >> 8) & 0xFF, (number >> 16) & 0xFF);
}

bool ReadRunValues(const CardControlTexts& controls, CardRunValues& values, QString& error) {
    values.Mode = controls.NormalCardSelected ? CardMode::Normal : CardMode::Blank;
    values.FramesPerSide = ReadFramesPerSide(controls.FramesText);
    values.LayoutIndex = ReadPaperLayout(controls.LayoutText);
    values.Centre = CentreOption::Mark;
    if (controls.CentreSelected[0]) {
        values.Centre = CentreOption::Mark;
    } else if (controls.CentreSelected[1]) {
        values.Centre = CentreOption::FixedRow;
    } else if (controls.CentreSelected[2]) {
        values.Centre = CentreOption::CountUp;
    }
    values.TextColour = ReadTextColour(controls.ColourText);

    if (!ToInt16(NumericValue(controls.SheetsText), values.Sheets)) {
        error = QStringLiteral("印字枚数は -32768 から 32767 の範囲で入力してください。");
        return false;
    }
    if (!ToInt16(NumericValue(controls.DesignatedRowText), values.DesignatedRow)) {
        error = QStringLiteral("指定登録行番は -32768 から 32767 の範囲で入力してください。");
        return false;
    }
    if (values.Centre == CentreOption::CountUp && values.DesignatedRow < 0) {
        error = QStringLiteral("カウントアップする場合は、指定登録行番に 0 以上の値を入力してください。");
        return false;
    }
    error.clear();
    return true;
}
