#pragma once

#include <QDialog>

class Dialogs;
class QPlainTextEdit;

// The manual viewer: the text of a file, read-only, white on black, shown modally over the main
// window. Created for one viewing and discarded afterwards.
class HelpViewer : public QDialog {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // Outer geometry handed over by the caller, in pixels.
    void SetOuterGeometry(int left, int top, int width, int height);

    // ヘルプ呼び出し: loads folder + fileName (or the "  がありません" text when it cannot be read)
    // and shows the viewer modally; returns when the user has closed it.
    void ShowManual(const QString& folder, const QString& fileName, Dialogs& dialogs);

    // Loads the text without showing the viewer.
    void LoadText(const QString& folder, const QString& fileName);
    QString Text() const;

private:
    QPlainTextEdit* m_text = nullptr;
};
