#pragma once

#include <QWidget>

struct ProgramState;
struct Services;

// Placeholder until the screen is built: opens empty with its name, so that the main window's
// one-screen rule and menus work.
class CardIssueScreen : public QWidget {
    Q_OBJECT
public:
    CardIssueScreen(ProgramState& state, Services& services, QWidget* parent = nullptr);
};
