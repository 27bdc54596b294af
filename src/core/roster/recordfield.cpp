#include "core/roster/recordfield.h"

#include <algorithm>

namespace {

struct FieldRule {
    int maxLength;
    const char16_t* designText;
};

constexpr const char16_t* kForty = u"1234567890123456789012345678901234567890";

constexpr FieldRule kRules[kFieldCount] = {
    {4, u"1234"},
    {2, u"12"},
    {0, u"12345678901234567890"},
    {4, u"1234"},
    {2, u"12"},
    {2, u"12"},
    {2, u"A"},
    {0, u"12345678901234567890"},
    {0, kForty},
    {0, kForty},
    {0, kForty},
    {0, u"1234"},
    {5, u"1234"},
    {3, u"123"},
    {0, u"1234"},
    {1, u"1"},
};

} // namespace

int MaxLength(Field field) {
    return kRules[static_cast<int>(field)].maxLength;
}

QString DesignText(Field field) {
    return QString::fromUtf16(kRules[static_cast<int>(field)].designText);
}

QString WithoutLineBreaks(QString text) {
    for (QChar& c : text) {
        if (c == u'\t' || c == u'\r' || c == u'\n') {
            c = u' ';
        }
    }
    return text;
}

QString RefusedCharacterMessage(const QString& character) {
    return QStringLiteral("「%1」は名簿ファイルに保存できない文字のため、入力できません。").arg(character);
}

bool FitTypedText(Field field, QString& input, int& cursor, qsizetype previousLength, TextEncoding encoding,
                  QString& refused) {
    input = WithoutLineBreaks(input);
    refused = TakeOutUnencodable(input, encoding, &cursor);
    const int maxLength = MaxLength(field);
    if (maxLength <= 0) {
        return true;
    }
    const qsizetype allowed = std::max<qsizetype>(maxLength, previousLength);
    if (input.size() <= allowed) {
        return true;
    }
    // Drop what was typed or pasted beyond the limit: the characters just before the cursor.
    const qsizetype excess = input.size() - allowed;
    if (excess > cursor) {
        return false;
    }
    input.remove(cursor - excess, excess);
    cursor -= static_cast<int>(excess);
    return true;
}
