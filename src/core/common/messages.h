#pragma once

#include <QString>

// Where the core reports what the user must be told. The program shows an OK message box
// titled with the application title; tests record the texts.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void ShowMessage(const QString& text) = 0;
};
