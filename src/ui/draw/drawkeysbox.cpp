#include "ui/draw/drawkeysbox.h"

#include "core/common/designfonts.h"
#include "ui/app/dialogs.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

std::vector<std::pair<QString, QString>> DrawKeysBox::Keys() {
    return {
        {QStringLiteral("Space / Enter"),
         QStringLiteral("抽選開始（ボタンを押すのと同じ。押し続けても 1 回）")},
        {QStringLiteral("F11"), QStringLiteral("全画面表示 ／ 元に戻す（メイン画面からも）")},
        {QStringLiteral("Esc"), QStringLiteral("全画面表示から元に戻す（メイン画面からも）")},
        {QStringLiteral("H"), QStringLiteral("抽選履歴")},
        {QStringLiteral("C"), QStringLiteral("カード確認（カード番号で）")},
        {QStringLiteral("P"), QStringLiteral("スマホ参加")},
        {QStringLiteral("K"), QStringLiteral("スマホから申告されたカードを確認")},
        {QStringLiteral("F1"), QStringLiteral("この一覧")},
        {QStringLiteral("右クリック（パネル）"),
         QStringLiteral("パネルを開く ／ 閉じる（ゲームモード 2～4）")},
        {QStringLiteral("右クリック（背景）"), QStringLiteral("抽選画面のメニュー")},
    };
}

DrawKeysBox::DrawKeysBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frm操作キー"));
    setWindowTitle(QStringLiteral("抽選画面の操作キー"));
    const QScreen* screen = parent && parent->screen() ? parent->screen() : nullptr;
    QFont type = DesignFont(DesignFace::PGothic, 0, false);
    type.setPixelSize(RoomTypePixels(screen ? screen->geometry().height() : 768));
    QFont bold = type;
    bold.setBold(true);
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(type.pixelSize() * 2);
    int row = 0;
    for (const auto& [key, what] : Keys()) {
        auto* keyLabel = new QLabel(key, this);
        keyLabel->setFont(bold);
        auto* whatLabel = new QLabel(what, this);
        whatLabel->setFont(type);
        grid->addWidget(keyLabel, row, 0);
        grid->addWidget(whatLabel, row, 1);
        ++row;
    }
    layout->addLayout(grid);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* close = buttons->button(QDialogButtonBox::Close);
    close->setText(QStringLiteral("閉じる"));
    close->setIcon(QIcon());
    close->setFont(bold);
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
