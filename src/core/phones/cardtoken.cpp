#include "core/phones/cardtoken.h"

#include <QRandomGenerator>
#include <array>

namespace {

constexpr int kTokenBytes = 18;
constexpr int kTokenLength = kTokenBytes / 3 * 4;

bool isTokenCharacter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') || u == u'-' ||
           u == u'_';
}

} // namespace

QString NewCardToken() {
    std::array<quint32, (kTokenBytes + 3) / 4> words{};
    QRandomGenerator::system()->fillRange(words.data(), static_cast<qsizetype>(words.size()));
    const QByteArray bytes(reinterpret_cast<const char*>(words.data()), kTokenBytes);
    return QString::fromLatin1(
        bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

bool IsTokenShaped(QStringView text) {
    if (text.size() != kTokenLength) {
        return false;
    }
    bool ok = true;
    for (QChar c : text) {
        ok = isTokenCharacter(c) && ok; // no early exit
    }
    return ok;
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
