#pragma once

#include "core/common/messages.h"

#include <QColor>
#include <QString>
#include <optional>

class QDialog;
class QWidget;
class RoomBox;

// Every modal dialog of the program goes through this seam, so that tests answer them without a
// person. The program uses NativeDialogs; tests use ScriptedDialogs (tests/support).
class Dialogs : public MessageSink {
public:
    enum class Answer { Yes, No };

    // OK box titled with the application title.
    void ShowMessage(const QString& text) override = 0;
    // The same over a screen the room reads (the draw screen on a projector): its type grows with
    // that screen's height.
    virtual void ShowMessageOn(QWidget* screen, const QString& text) {
        Q_UNUSED(screen);
        ShowMessage(text);
    }
    // Yes/No box with the question icon, titled "操作確認".
    virtual Answer AskYesNo(QWidget* parent, const QString& text, Answer defaultButton) = 0;
    // The same over a screen the room reads, in the type of its messages.
    virtual Answer AskYesNoOn(QWidget* screen, const QString& text, Answer defaultButton) {
        return AskYesNo(screen, text, defaultButton);
    }
    // File dialogs; an empty text when cancelled. filters are separated by ";;".
    virtual QString OpenFileName(QWidget* parent, const QString& title, const QString& start,
                                 const QString& filters, int filterIndex) = 0;
    virtual QString SaveFileName(QWidget* parent, const QString& title, const QString& start,
                                 const QString& filters, int filterIndex) = 0;
    virtual QString ExistingFolder(QWidget* parent, const QString& title) = 0;
    // Colour dialog without a preselected colour; nothing when cancelled.
    virtual std::optional<QColor> Colour(QWidget* parent) = 0;
    // Input box; nothing when cancelled.
    virtual std::optional<QString> InputText(QWidget* parent, const QString& title, const QString& prompt,
                                             const QString& defaultText) = 0;
    // Runs one of the program's own modal boxes and returns its result code.
    virtual int Exec(QDialog& dialog) = 0;
};

// The application title that OK boxes carry.
inline QString ApplicationTitle() {
    return QStringLiteral("Mirda");
}
inline QString ConfirmTitle() {
    return QStringLiteral("操作確認");
}

// Filters as Qt's file dialog reads them: patterns inside the brackets separated by spaces (the
// program writes "(*.mp3;*.wav)"), and, where the file system tells letter case apart, each pattern
// also in upper case so that "*.mp3" finds SONG.MP3.
QString ToQtNameFilters(const QString& filters, bool addUpperCase);

// The pixel size of the type of messages read from the back of a room: at least 1/40 of the
// height of the screen they are shown on.
int RoomTypePixels(int screenHeight);

// The OK box that ShowMessageOn shows, made but not yet run.
RoomBox* MakeRoomMessageBox(QWidget* screen, const QString& text);
// The Yes/No box that AskYesNoOn shows, made but not yet run.
RoomBox* MakeRoomQuestionBox(QWidget* screen, const QString& text, Dialogs::Answer defaultButton);

// The real dialogs.
class NativeDialogs : public Dialogs {
public:
    void ShowMessage(const QString& text) override;
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
};
