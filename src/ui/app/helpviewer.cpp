#include "ui/app/helpviewer.h"

#include "core/common/designfonts.h"

#include "core/common/textfile.h"
#include "ui/app/childscreen.h"
#include "ui/app/dialogs.h"

#include <QFile>
#include <QPlainTextEdit>

HelpViewer::HelpViewer(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("KapHelp"));
    setWindowTitle(QStringLiteral("取り扱い説明書"));
    setModal(true);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("TextHelp"));
    m_text->setReadOnly(true);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QPalette palette = m_text->palette();
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Text, Qt::white);
    m_text->setPalette(palette);
    QFont font = DesignFont(DesignFace::PMincho);
    font.setPointSizeF(13.5);
    m_text->setFont(font);
}

void HelpViewer::SetOuterGeometry(int left, int top, int width, int height) {
    // The viewer is a further 300 twips shorter than it is given; the text box leaves a margin.
    const int h = height - TwipsToPixels(this, 300);
    setGeometry(left, top, width, h);
    m_text->setGeometry(TwipsToPixels(this, 20), 0, width - TwipsToPixels(this, 22),
                        h - TwipsToPixels(this, 300));
}

void HelpViewer::LoadText(const QString& folder, const QString& fileName) {
    QFile file(folder + fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        m_text->setPlainText(fileName + QStringLiteral("  がありません"));
        return;
    }
    QString text;
    for (const QString& line : SplitLines(DecodeForeignText(file.readAll()))) {
        text += line + u'\n'; // every line ends with a line break, the last one included
    }
    m_text->setPlainText(text);
}

QString HelpViewer::Text() const {
    return m_text->toPlainText();
}

void HelpViewer::ShowManual(const QString& folder, const QString& fileName, Dialogs& dialogs) {
    LoadText(folder, fileName);
    dialogs.Exec(*this);
}
