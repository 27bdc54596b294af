#include "ui/app/dialogs.h"

#include "core/common/platform.h"
#include "ui/app/heldkeys.h"
#include "ui/app/roombox.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <algorithm>

namespace {

QWidget* OwnerOf(QWidget* parent) {
    return parent ? parent : QApplication::activeWindow();
}

// Message boxes are read from the back of a room when the draw runs on a projector.
void Enlarge(QMessageBox& box) {
    QFont font = box.font();
    font.setPointSizeF(std::max(font.pointSizeF(), 12.0));
    box.setFont(font);
}

// Runs a dialog made on the heap. Its owner may be destroyed while the dialog's event loop runs
// (and the dialog with it): then nothing is read back and the dialog counts as cancelled.
template <typename D, typename Read>
auto RunOwned(D* dialog, Read read, decltype(read(*dialog, 0)) cancelled) {
    const QPointer<D> guard(dialog);
    const int result = dialog->exec();
    if (!guard) {
        return cancelled;
    }
    auto value = read(*dialog, result);
    delete dialog;
    return value;
}

// The path a file dialog returns, or empty when it was cancelled.
QString ChosenPath(QFileDialog& dialog, int result) {
    const QStringList files = dialog.selectedFiles();
    return result == QDialog::Accepted && !files.isEmpty() ? QDir::toNativeSeparators(files.first())
                                                           : QString();
}

QString QtFilters(const QString& filters) {
    return ToQtNameFilters(filters, !FileSystemIgnoresCase());
}

QString AskFileName(QWidget* parent, QFileDialog::AcceptMode mode, const QString& title, const QString& start,
                    const QString& filters, int filterIndex) {
    const QStringList list = QtFilters(filters).split(QStringLiteral(";;"));
    auto* dialog = new QFileDialog(OwnerOf(parent), title, start);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The name is used exactly as typed: no extension is added and no overwrite question asked.
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    dialog->setNameFilters(list);
    if (filterIndex >= 1 && filterIndex <= list.size()) {
        dialog->selectNameFilter(list.at(filterIndex - 1));
    }
    if (mode == QFileDialog::AcceptOpen && QFileInfo(start).isFile()) {
        dialog->selectFile(start);
    }
    return RunOwned(dialog, ChosenPath, QString());
}

} // namespace

QString ToQtNameFilters(const QString& filters, bool addUpperCase) {
    QStringList out;
    for (const QString& filter : filters.split(QStringLiteral(";;"))) {
        const qsizetype open = filter.lastIndexOf(u'(');
        if (open < 0 || !filter.endsWith(u')')) {
            out.append(filter);
            continue;
        }
        QStringList patterns = filter.mid(open + 1, filter.size() - open - 2).split(u';', Qt::SkipEmptyParts);
        if (addUpperCase) {
            for (const QString& p : QStringList(patterns)) {
                if (p.toUpper() != p && !patterns.contains(p.toUpper())) {
                    patterns.append(p.toUpper());
                }
            }
        }
        out.append(filter.left(open + 1) + patterns.join(u' ') + u')');
    }
    return out.join(QStringLiteral(";;"));
}

void NativeDialogs::ShowMessage(const QString& text) {
    auto* box =
        new QMessageBox(QMessageBox::NoIcon, ApplicationTitle(), text, QMessageBox::Ok, OwnerOf(nullptr));
    Enlarge(*box);
    RunOwned(
        box, [](QMessageBox&, int result) { return result; }, 0);
}

int RoomTypePixels(int screenHeight) {
    return (std::max(screenHeight, 0) + 39) / 40;
}

RoomBox* MakeRoomMessageBox(QWidget* screen, const QString& text) {
    return new RoomBox(screen, text);
}

RoomBox* MakeRoomQuestionBox(QWidget* screen, const QString& text, Dialogs::Answer defaultButton) {
    return new RoomBox(screen, text, defaultButton);
}

Dialogs::Answer NativeDialogs::AskYesNoOn(QWidget* screen, const QString& text, Answer defaultButton) {
    return RunOwned(
        MakeRoomQuestionBox(screen, text, defaultButton), [](RoomBox& box, int) { return box.Result(); },
        Answer::No);
}

void NativeDialogs::ShowMessageOn(QWidget* screen, const QString& text) {
    RunOwned(
        MakeRoomMessageBox(screen, text), [](RoomBox&, int result) { return result; }, 0);
}

Dialogs::Answer NativeDialogs::AskYesNo(QWidget* parent, const QString& text, Answer defaultButton) {
    auto* box = new QMessageBox(QMessageBox::Question, ConfirmTitle(), text,
                                QMessageBox::Yes | QMessageBox::No, OwnerOf(parent));
    box->setDefaultButton(defaultButton == Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
    Enlarge(*box);
    return RunOwned(
        box, [](QMessageBox&, int result) { return result == QMessageBox::Yes ? Answer::Yes : Answer::No; },
        Answer::No);
}

QString NativeDialogs::OpenFileName(QWidget* parent, const QString& title, const QString& start,
                                    const QString& filters, int filterIndex) {
    return AskFileName(parent, QFileDialog::AcceptOpen, title, start, filters, filterIndex);
}

QString NativeDialogs::SaveFileName(QWidget* parent, const QString& title, const QString& start,
                                    const QString& filters, int filterIndex) {
    return AskFileName(parent, QFileDialog::AcceptSave, title, start, filters, filterIndex);
}

QString NativeDialogs::ExistingFolder(QWidget* parent, const QString& title) {
    auto* dialog = new QFileDialog(OwnerOf(parent), title);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    return RunOwned(dialog, ChosenPath, QString());
}

std::optional<QColor> NativeDialogs::Colour(QWidget* parent) {
    // No colour preselected, and custom colours reset at every call.
    for (int i = 0; i < QColorDialog::customCount(); ++i) {
        QColorDialog::setCustomColor(i, QColor(0, 0, 0));
    }
    auto* dialog = new QColorDialog(QColor(0, 0, 0), OwnerOf(parent));
    return RunOwned(
        dialog,
        [](QColorDialog& d, int result) {
            return result == QDialog::Accepted ? std::optional<QColor>(d.selectedColor()) : std::nullopt;
        },
        std::optional<QColor>());
}

std::optional<QString> NativeDialogs::InputText(QWidget* parent, const QString& title, const QString& prompt,
                                                const QString& defaultText) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(OwnerOf(parent), title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok) {
        return std::nullopt;
    }
    return text;
}

int NativeDialogs::Exec(QDialog& dialog) {
    IgnoreHeldKeys(dialog);
    return dialog.exec();
}
