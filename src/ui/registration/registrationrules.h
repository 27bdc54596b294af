#pragma once

#include <QSizeF>
#include <QString>
#include <QStringList>

// The plain rules behind the registration screen: pick lists, file filters, the photo preview's
// proportions and the extensions accepted on a drop.

// The 47 prefectures in the order the birthplace button cycles through them.
const QStringList& PrefectureList();

// The blood type after text in the button's cycle "A" → "O" → "B" → "AB" → "A"; any other text
// (compared exactly) gives "A".
QString NextBloodType(const QString& text);

// Position 1 … 47 of text in PrefectureList (exact comparison), 0 when it is not there.
int PrefectureNumber(const QString& text);

// The filter lists of the song and photo open dialogs, entries joined by ";;".
QString MusicFileFilters();
QString PhotoFileFilters();

// Size in twips of the photo preview for a picture of w × h: the 2280 × 1710 box, made taller
// for a picture taller than 4:3 and wider for a wider one, so that the picture keeps its
// proportions and covers the whole box. The box itself when either side is not positive.
QSizeF PhotoPreviewTwips(double w, double h);
inline constexpr double kPhotoBoxWidthTwips = 2280;
inline constexpr double kPhotoBoxHeightTwips = 1710;

// The extensions a field takes from a drop (upper case, with the dot), empty for other fields.
QStringList DroppedExtensions(int field);

// A field's text with every TAB, CR and LF turned into a space: the roster file cannot hold them.
QString WithoutLineBreaks(QString text);
