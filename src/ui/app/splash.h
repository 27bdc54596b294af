#pragma once

#include <QWidget>

// The splash shown during start-up: logo, product name and version. It takes no input.
class SplashScreen : public QWidget {
    Q_OBJECT
public:
    explicit SplashScreen(QWidget* parent = nullptr);
};
