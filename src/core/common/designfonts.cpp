#include "core/common/designfonts.h"

#include <QStringList>

QString FaceName(DesignFace face) {
    switch (face) {
    case DesignFace::PGothic:
        return QStringLiteral("ＭＳ Ｐゴシック");
    case DesignFace::Gothic:
        return QStringLiteral("ＭＳ ゴシック");
    case DesignFace::PMincho:
        return QStringLiteral("ＭＳ Ｐ明朝");
    case DesignFace::Mincho:
        return QStringLiteral("ＭＳ 明朝");
    }
    return {};
}

QFont DesignFont(DesignFace face, double points, bool bold) {
    QFont font(FaceName(face));
    if (points > 0) {
        font.setPointSizeF(points);
    }
    font.setBold(bold);
    return font;
}

QFont UnhintedFont(const QString& face, bool bold) {
    QFont font(face);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

void InstallFontSubstitutions() {
    const QString gothicP = QStringLiteral("IPAPGothic");
    const QString gothic = QStringLiteral("IPAGothic");
    const QString minchoP = QStringLiteral("IPAPMincho");
    const QString mincho = QStringLiteral("IPAMincho");
    const QString sans = QStringLiteral("Noto Sans CJK JP");
    const QString serif = QStringLiteral("Noto Serif CJK JP");
    const QString mono = QStringLiteral("Noto Sans Mono CJK JP");
    const struct {
        QString face;
        QStringList substitutes;
    } table[] = {
        // Faces with a real bold first: the draw's buttons, panels, lines and the scrolling line
        // are bold, and must look so on a projector.
        {FaceName(DesignFace::PGothic), {sans, gothicP}},
        {FaceName(DesignFace::Gothic), {mono, sans, gothic}},
        {FaceName(DesignFace::PMincho), {serif, minchoP}},
        // The cards print in a regular Mincho.
        {FaceName(DesignFace::Mincho), {mincho, serif}},
        {QStringLiteral("HG正楷書体-PRO"), {serif, minchoP}},
        {QStringLiteral("HGP創英角ﾎﾟｯﾌﾟ体"), {sans, gothicP}},
        {QStringLiteral("HGS創英角ﾎﾟｯﾌﾟ体"), {sans, gothicP}},
        {QStringLiteral("HG丸ｺﾞｼｯｸM-PRO"), {gothicP, sans}},
        {QStringLiteral("HG行書体"), {minchoP, serif}},
        {QStringLiteral("HGS明朝B"), {serif, mincho}},
    };
    for (const auto& entry : table) {
        QFont::insertSubstitutions(entry.face, entry.substitutes);
    }
    // The default face of the program's windows.
    QFont::insertSubstitutions(QStringLiteral("Sans Serif"), {sans, gothicP});
}
