#pragma once

#include <QFont>
#include <QString>

// The faces the screens and the cards are designed in. The program maps each onto an installed
// Japanese face (InstallFontSubstitutions), so that Japanese text never falls back to a face
// without Japanese glyphs.
enum class DesignFace {
    PGothic, // ＭＳ Ｐゴシック: the screens, buttons and panels
    Gothic,  // ＭＳ ゴシック: the registration fields
    PMincho, // ＭＳ Ｐ明朝: the scrolling line and the manual
    Mincho,  // ＭＳ 明朝: the printed cards
};

QString FaceName(DesignFace face);

// A font of a design face at a point size (0 keeps the default size).
QFont DesignFont(DesignFace face, double points = 0, bool bold = false);

// A face for texts fitted to a box: hinting is off, so that a text grows with its point size
// and a fitting search may bracket its sizes.
QFont UnhintedFont(const QString& face, bool bold);

// Maps the design faces and the faces of the draw's effects onto installed faces. Call once after
// the application object exists.
void InstallFontSubstitutions();
