#include "core/phones/cardtoken.h"

#include <QRandomGenerator>
#include <array>

namespace {

constexpr QStringView kBase32 = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";
constexpr int kTokenLength = 29;
// The tokens of cards printed before: 18 bytes in base64url.
constexpr int kOlderTokenLength = 24;

bool isBase32(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'2' && u <= u'7');
}

bool isBase64Url(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') || u == u'-' ||
           u == u'_';
}

} // namespace

QString NewCardToken() {
    std::array<quint32, kTokenLength> values{};
    QRandomGenerator::system()->fillRange(values.data(), static_cast<qsizetype>(values.size()));
    QString token;
    token.reserve(kTokenLength);
    for (quint32 value : values) {
        token += kBase32[value % 32];
    }
    return token;
}

bool IsTokenShaped(QStringView text) {
    bool base32 = text.size() == kTokenLength;
    bool base64 = text.size() == kOlderTokenLength;
    for (QChar c : text) {
        // No early exit.
        base32 = isBase32(c) && base32;
        base64 = isBase64Url(c) && base64;
    }
    return base32 || base64;
}

bool SameToken(QStringView a, QStringView b) {
    if (a.size() != b.size()) {
        return false;
    }
    char16_t difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i) {
        difference |= static_cast<char16_t>(a[i].unicode() ^ b[i].unicode());
    }
    return difference == 0;
}
