#pragma once

#include "ui/app/dialogs.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <variant>

// Answers every dialog from a script and records what was asked. An unexpected dialog (nothing
// scripted) is recorded and answered with No / cancel.
class ScriptedDialogs : public Dialogs {
public:
    struct Asked {
        QString kind;  // "message", "question", "open", "save", "folder", "colour", "input", "exec"
        QString text;  // message or question text, dialog title otherwise
        QString extra; // start path, filters, default answer ...
    };

    void ShowMessage(const QString& text) override;
    // Recorded like any message, marked "room" in extra.
    void ShowMessageOn(QWidget* screen, const QString& text) override;
    Answer AskYesNo(QWidget* parent, const QString& text, Answer defaultButton) override;
    Answer AskYesNoOn(QWidget* screen, const QString& text, Answer defaultButton) override;
    QString OpenFileName(QWidget* parent, const QString& title, const QString& start, const QString& filters,
                         int filterIndex) override;
    QString SaveFileName(QWidget* parent, const QString& title, const QString& start, const QString& filters,
                         int filterIndex) override;
    QString ExistingFolder(QWidget* parent, const QString& title) override;
    std::optional<QColor> Colour(QWidget* parent) override;
    std::optional<QString> InputText(QWidget* parent, const QString& title, const QString& prompt,
                                     const QString& defaultText) override;
    int Exec(QDialog& dialog) override;

    // Scripting: answers are taken in order, per kind.
    std::deque<Answer> YesNo;
    std::deque<QString> Files;   // open and save dialogs, "" = cancel
    std::deque<QString> Folders; // "" = cancel
    std::deque<std::optional<QColor>> Colours;
    std::deque<std::optional<QString>> Inputs;
    std::deque<std::function<int(QDialog&)>> Execs; // drives a custom modal box; returns its result
    // Runs once while the next message, question or colour box is up: in the program every box
    // runs an event loop of its own, in which timers keep firing and the screen may be called.
    std::function<void()> WhileNextBoxIsUp;

    std::vector<Asked> Log;
    QStringList Messages() const;  // texts of every OK box, in order
    QStringList Questions() const; // texts of every Yes/No box, in order
    Answer LastDefault = Answer::No;

private:
    void RunWhileUp();
};
