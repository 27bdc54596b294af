#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Lines of Japanese (and Latin) text for a box of a given width, broken as a reader expects.
//
// Explicit line ends ("\r\n", "\n") are kept. A line that is too wide breaks at the end of a
// phrase where it can: after a space, after 、。！？ and closing brackets, before an opening
// bracket, and where a kanji or katakana follows hiragana (これ|以上|データが|登録されていません).
// A phrase wider than the box breaks inside only where Japanese allows it: never before small
// kana, ー, punctuation or a closing bracket, never after an opening bracket, and never inside a
// run of Latin letters and digits; a single character wider than the box stands alone.
QStringList BreakIntoLines(const QString& text, double maxWidth,
                           const std::function<double(const QString&)>& width);
