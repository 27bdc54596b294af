#pragma once

#include <QWidget>

struct ProgramState;
struct Services;

// Placeholder until the screen is built: opens empty with its name, so that the main window's
// one-screen rule and menus work.
class RegistrationScreen : public QWidget {
    Q_OBJECT
public:
    RegistrationScreen(ProgramState& state, Services& services, QWidget* parent = nullptr);
};
