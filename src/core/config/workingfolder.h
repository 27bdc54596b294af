#pragma once

#include <QString>

struct ProgramState;

// The folder the program writes its own files into (card PDFs, the records of the cards and the
// draw): the working folder that holds the pictures folder; when that does not exist, the
// program folder, or the user's documents folder where the program folder belongs to an
// installed package and cannot be written.
QString WorkingFolderOf(const ProgramState& state);
