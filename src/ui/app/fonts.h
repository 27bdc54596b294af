#pragma once

// Maps the font faces the screens name (ＭＳ ゴシック, ＭＳ Ｐ明朝, the HG faces of the draw
// effects …) onto installed Japanese faces, so that Japanese text never falls back to a face
// without Japanese glyphs. Call once after the QApplication exists.
void InstallFontSubstitutions();
