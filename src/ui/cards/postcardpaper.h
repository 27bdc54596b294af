#pragma once

#include <QList>
#include <QPageSize>
#include <QtGlobal>

class QPrinter;

// The paper sizes a printer offers; empty for a PDF, which takes any size.
QList<QPageSize> PrinterPaperSizes(const QPrinter& printer);

// Finds the printer's paper for a Japanese postcard (about 100 × 148 mm): tries the Windows paper
// codes 42 to 320 in portrait and keeps the first whose page measures 99–101 × 147–149 mm,
// returning that code with the orientation restored. A code whose size is not among supported is
// refused, the previous size staying in force (an empty list refuses nothing). Returns 0, with
// paper and orientation restored, when no code fits.
qint16 SelectPostcardPaper(QPrinter& printer, const QList<QPageSize>& supported);

// The printer's paper set by its Windows paper code (9 is A4, 13 is B5 182 × 257 mm). False when
// the code names no size or the printer refuses it.
bool SetPaperByCode(QPrinter& printer, int code);
