#include "support/scripteddialogs.h"

#include <QDialog>

// GCC 12 reports a false maybe-uninitialized on moving a std::optional<QString> out of a deque.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

void ScriptedDialogs::RunWhileUp() {
    if (WhileNextBoxIsUp) {
        const std::function<void()> run = std::move(WhileNextBoxIsUp);
        WhileNextBoxIsUp = nullptr;
        run();
    }
}

void ScriptedDialogs::ShowMessage(const QString& text) {
    Log.push_back({QStringLiteral("message"), text, {}});
    RunWhileUp();
}

void ScriptedDialogs::ShowMessageOn(QWidget*, const QString& text) {
    const size_t at = Log.size();
    ShowMessage(text);
    if (at < Log.size()) {
        Log[at].extra = QStringLiteral("room");
    }
}

Dialogs::Answer ScriptedDialogs::AskYesNoOn(QWidget* screen, const QString& text, Answer defaultButton) {
    const size_t at = Log.size();
    const Answer answer = AskYesNo(screen, text, defaultButton);
    if (at < Log.size()) {
        Log[at].extra += QStringLiteral(" room");
    }
    return answer;
}

Dialogs::Answer ScriptedDialogs::AskYesNo(QWidget*, const QString& text, Answer defaultButton) {
    LastDefault = defaultButton;
    Log.push_back({QStringLiteral("question"), text,
                   defaultButton == Answer::Yes ? QStringLiteral("yes") : QStringLiteral("no")});
    RunWhileUp();
    if (YesNo.empty()) {
        return Answer::No;
    }
    const Answer a = YesNo.front();
    YesNo.pop_front();
    return a;
}

namespace {
template <typename T> T take(std::deque<T>& queue, T fallback) {
    if (queue.empty()) {
        return fallback;
    }
    T value(std::move(queue.front()));
    queue.pop_front();
    return value;
}
} // namespace

QString ScriptedDialogs::OpenFileName(QWidget*, const QString& title, const QString& start,
                                      const QString& filters, int filterIndex) {
    Log.push_back(
        {QStringLiteral("open"), title,
         start + QStringLiteral("|") + filters + QStringLiteral("|") + QString::number(filterIndex)});
    return take(Files, QString());
}

QString ScriptedDialogs::SaveFileName(QWidget*, const QString& title, const QString& start,
                                      const QString& filters, int filterIndex) {
    Log.push_back(
        {QStringLiteral("save"), title,
         start + QStringLiteral("|") + filters + QStringLiteral("|") + QString::number(filterIndex)});
    return take(Files, QString());
}

QString ScriptedDialogs::ExistingFolder(QWidget*, const QString& title) {
    Log.push_back({QStringLiteral("folder"), title, {}});
    return take(Folders, QString());
}

std::optional<QColor> ScriptedDialogs::Colour(QWidget*) {
    Log.push_back({QStringLiteral("colour"), {}, {}});
    RunWhileUp();
    return take(Colours, std::optional<QColor>());
}

std::optional<QString> ScriptedDialogs::InputText(QWidget*, const QString& title, const QString& prompt,
                                                  const QString& defaultText) {
    Log.push_back({QStringLiteral("input"), title, prompt + QStringLiteral("|") + defaultText});
    return take(Inputs, std::optional<QString>());
}

int ScriptedDialogs::Exec(QDialog& dialog) {
    Log.push_back({QStringLiteral("exec"), dialog.objectName(), {}});
    if (Execs.empty()) {
        return QDialog::Rejected;
    }
    auto drive = Execs.front();
    Execs.pop_front();
    return drive(dialog);
}

QStringList ScriptedDialogs::Messages() const {
    QStringList out;
    for (const auto& a : Log) {
        if (a.kind == QStringLiteral("message")) {
            out.append(a.text);
        }
    }
    return out;
}

QStringList ScriptedDialogs::Questions() const {
    QStringList out;
    for (const auto& a : Log) {
        if (a.kind == QStringLiteral("question")) {
            out.append(a.text);
        }
    }
    return out;
}
