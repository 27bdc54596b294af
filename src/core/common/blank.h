#pragma once

#include <QString>
#include <QStringView>

// Trimming and blankness as the program has always meant them: only the ASCII space counts. A
// tab, a line feed or an ideographic space (U+3000) is content, so a row whose name is one of
// them is a row in use.

// The text without leading and trailing ASCII spaces.
QString TrimSpaces(const QString& text);

// True when the text is empty or holds only ASCII spaces.
bool IsBlank(QStringView text);
