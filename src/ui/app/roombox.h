#pragma once

#include "ui/app/dialogs.h"

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;

// A message or a question shown over a screen the room reads (the draw screen on a projector):
// its type at least RoomTypePixels of that screen's height, the box as wide as its text needs, up
// to most of the screen's width, its lines broken only where Japanese allows. A key held down
// when it opens (Space or Enter kept pressed to draw) does not answer it.
class RoomBox : public QDialog {
public:
    // A question has はい and いいえ with the default given; a message has OK.
    RoomBox(QWidget* screen, const QString& text);
    RoomBox(QWidget* screen, const QString& text, Dialogs::Answer defaultButton);

    const QStringList& Lines() const { return m_lines; }
    QLabel* TextLabel() const { return m_text; }
    // OK for a message; はい or いいえ for a question.
    QPushButton* Button(Dialogs::Answer answer) const;
    QPushButton* DefaultButton() const;
    Dialogs::Answer Result() const { return m_answer; }

private:
    void Build(QWidget* screen, const QString& text, bool question, Dialogs::Answer defaultButton);

    QLabel* m_text = nullptr;
    QPushButton* m_yes = nullptr; // OK for a message
    QPushButton* m_no = nullptr;
    QStringList m_lines;
    Dialogs::Answer m_answer = Dialogs::Answer::No;
};
