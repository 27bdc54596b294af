#pragma once

#include <QDialog>
#include <QString>
#include <utility>
#include <vector>

// The keys of the draw screen (F1, and the screen's own menu), in type read from the back of the
// room, so that the organiser finds them at the party.
class DrawKeysBox : public QDialog {
public:
    // The keys and what each does, in the order shown.
    static std::vector<std::pair<QString, QString>> Keys();

    explicit DrawKeysBox(QWidget* parent);
};
