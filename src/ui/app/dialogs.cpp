#include "ui/app/dialogs.h"

#include "common/platform.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <algorithm>

namespace {

QWidget* ownerOf(QWidget* parent) { return parent ? parent : QApplication::activeWindow(); }

// Message boxes are read from the back of a room when the draw runs on a projector.
void enlarge(QMessageBox& box) {
    QFont font = box.font();
    font.setPointSizeF(std::max(font.pointSizeF(), 12.0));
    box.setFont(font);
}

QString qtFilters(const QString& filters) { return ToQtNameFilters(filters, !FileSystemIgnoresCase()); }

QString pickFilter(const QString& filters, int filterIndex) {
    const QStringList list = filters.split(QStringLiteral(";;"));
    return filterIndex >= 1 && filterIndex <= list.size() ? list.at(filterIndex - 1) : QString();
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
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle(), text, QMessageBox::Ok, ownerOf(nullptr));
    enlarge(box);
    box.exec();
}

Dialogs::Answer NativeDialogs::AskYesNo(QWidget* parent, const QString& text, Answer defaultButton) {
    QMessageBox box(QMessageBox::Question, ConfirmTitle(), text, QMessageBox::Yes | QMessageBox::No, ownerOf(parent));
    box.setDefaultButton(defaultButton == Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
    enlarge(box);
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

QString NativeDialogs::OpenFileName(QWidget* parent, const QString& title, const QString& start,
                                    const QString& filters, int filterIndex) {
    const QString qt = qtFilters(filters);
    QString selected = pickFilter(qt, filterIndex);
    return QFileDialog::getOpenFileName(ownerOf(parent), title, start, qt, &selected);
}

QString NativeDialogs::SaveFileName(QWidget* parent, const QString& title, const QString& start,
                                    const QString& filters, int filterIndex) {
    const QString qt = qtFilters(filters);
    QString selected = pickFilter(qt, filterIndex);
    // The name is used exactly as typed: no extension is added and no overwrite question asked.
    return QFileDialog::getSaveFileName(ownerOf(parent), title, start, qt, &selected,
                                        QFileDialog::DontConfirmOverwrite);
}

QString NativeDialogs::ExistingFolder(QWidget* parent, const QString& title) {
    return QFileDialog::getExistingDirectory(ownerOf(parent), title, QString(), QFileDialog::ShowDirsOnly);
}

std::optional<QColor> NativeDialogs::Colour(QWidget* parent) {
    // No colour preselected, and custom colours reset at every call.
    for (int i = 0; i < QColorDialog::customCount(); ++i) {
        QColorDialog::setCustomColor(i, QColor(0, 0, 0));
    }
    QColorDialog dialog(QColor(0, 0, 0), ownerOf(parent));
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.selectedColor();
}

std::optional<QString> NativeDialogs::InputText(QWidget* parent, const QString& title, const QString& prompt,
                                                const QString& defaultText) {
    bool ok = false;
    const QString text = QInputDialog::getText(ownerOf(parent), title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok) {
        return std::nullopt;
    }
    return text;
}

int NativeDialogs::Exec(QDialog& dialog) { return dialog.exec(); }
