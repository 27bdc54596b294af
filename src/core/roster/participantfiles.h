#pragma once

#include "core/common/textfile.h"
#include "core/roster/recordfield.h"

#include <QSizeF>
#include <QString>

struct SettingsRecord;

// A participant's song and photo are named in the roster by bare file names; the files lie in
// the working folders of the settings, Musics and Pictures. These are the rules for getting them
// there: the open dialog of the song and photo fields, and the copy of a file dropped on them.

// The open dialog of the song or photo field: its title, starting folder and filters (entries
// joined by ";;").
struct FileChooser {
    QString Title;
    QString Folder;
    QString Filters;
};
FileChooser ChooserFor(Field field, const SettingsRecord& settings);

// What the song or photo field holds after the dialog returned chosen (a full path, empty when
// cancelled): the file name when the file lies directly in the field's folder; the field's own
// text, trimmed, on cancel; empty, with a message to tell, when it lies anywhere else.
struct ChosenFile {
    QString Text;
    QString Message;
};
ChosenFile AcceptChosenFile(Field field, const QString& chosen, const QString& fieldText,
                            const SettingsRecord& settings);

// A file dropped on a field: a song on the song field or a photo on the photo field (told by the
// last four characters of its upper-cased name) is copied into the field's folder under that
// upper-cased name, replacing a file of that name. Anything else is ignored without a message.
struct DroppedFile {
    bool Copied = false;
    QString Name;    // the upper-cased name, for the field
    QString Message; // why an accepted file was not copied
};
DroppedFile ImportDroppedFile(const QString& path, Field field, const SettingsRecord& settings,
                              TextEncoding encoding);

// Size in twips of the photo preview for a picture of w × h: the 2280 × 1710 box, made taller
// for a picture taller than 4:3 and wider for a wider one, so that the picture keeps its
// proportions and covers the whole box. The box itself when either side is not positive.
QSizeF PhotoPreviewTwips(double w, double h);
inline constexpr double kPhotoBoxWidthTwips = 2280;
inline constexpr double kPhotoBoxHeightTwips = 1710;
