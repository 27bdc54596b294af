#pragma once

#include <QColor>
#include <QString>
#include <vector>

class RosterTable;

// The introduction of a drawn participant: the scrolling line and the typed lines.

// The introduction items, numbered as the characters of the Dflag setting that switch them.
enum class IntroItem {
    Name = 1,
    BirthDate = 2,
    BloodType = 3,
    Birthplace = 4,
    Affiliation = 5,
    FavouriteWords = 6,
    Comment = 7,
    Song = 8,  // the draw plays the participant's song
    Photo = 9, // the draw and the panels show the participant's photo
};

// Whether an introduction item is switched on in the Dflag text ("1" at its place).
bool DflagOn(const QString& dflag, IntroItem item);

// The star sign of a month and day text ("3", "21" → "おひつじ座"); empty when the key
// month × 100 + day falls in no range (an empty month and day give none).
QString ZodiacSign(const QString& month, const QString& day);

// The scrolling line of row r: birth date, birthplace, blood type and star sign as the flags
// allow, e.g. "1985.4.1生 東京 出身  A型 の おひつじ座". Empty when nothing is to be shown.
QString BuildTelopLine(const RosterTable& roster, int r, const QString& dflag);

// One typed line of the introduction; blankAfter asks for an empty line after it.
struct ProfileLine {
    QString Text;
    bool BlankAfter = false;
    bool operator==(const ProfileLine&) const = default;
};

// The typed lines of row r: affiliation, favourite words and comment, as the flags allow, the
// last two labelled with the captions of row 0.
std::vector<ProfileLine> BuildProfileLines(const RosterTable& roster, int r, const QString& dflag);

// The relative luminance of an sRGB colour (0 for black to 1 for white), and the contrast ratio of
// two colours (1 to 21), as readability is measured.
double RelativeLuminance(const QColor& colour);
double ContrastRatio(const QColor& a, const QColor& b);

// Text over the screen's background (the typed lines and the scrolling line) is white when white
// reads at least as well on it as black does, black otherwise: whichever colour the organiser
// picks, the text keeps a contrast of at least 4.5 : 1.
bool TextIsWhiteOn(const QColor& background);
