#include "ui/app/fonts.h"

#include <QFont>
#include <QStringList>

void InstallFontSubstitutions() {
    const QString gothicP = QStringLiteral("IPAPGothic");
    const QString gothic = QStringLiteral("IPAGothic");
    const QString minchoP = QStringLiteral("IPAPMincho");
    const QString mincho = QStringLiteral("IPAMincho");
    const QString sans = QStringLiteral("Noto Sans CJK JP");
    const QString serif = QStringLiteral("Noto Serif CJK JP");
    const QString mono = QStringLiteral("Noto Sans Mono CJK JP");
    const struct {
        const char16_t* face;
        QStringList substitutes;
    } table[] = {
        {u"ＭＳ Ｐゴシック", {gothicP, sans}},  {u"ＭＳ ゴシック", {gothic, mono, sans}},
        {u"ＭＳ Ｐ明朝", {minchoP, serif}},     {u"ＭＳ 明朝", {mincho, serif}},
        {u"HG正楷書体-PRO", {serif, minchoP}},  {u"HGP創英角ﾎﾟｯﾌﾟ体", {sans, gothicP}},
        {u"HGS創英角ﾎﾟｯﾌﾟ体", {sans, gothicP}}, {u"HG丸ｺﾞｼｯｸM-PRO", {gothicP, sans}},
        {u"HG行書体", {minchoP, serif}},        {u"HGS明朝B", {serif, mincho}},
    };
    for (const auto& entry : table) {
        QFont::insertSubstitutions(QString::fromUtf16(entry.face), entry.substitutes);
    }
    // The default face of the program's windows.
    QFont::insertSubstitutions(QStringLiteral("Sans Serif"), {sans, gothicP});
}
