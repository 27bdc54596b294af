#include "ui/app/splash.h"

#include "core/common/designfonts.h"

#include "ui/app/mainwindow.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QSvgRenderer>
#include <QVBoxLayout>

SplashScreen::SplashScreen(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setStyleSheet(QStringLiteral("#frmSplash { background: #fdf6ec; }"));

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("fraMainFrame"));
    frame->setFrameShape(QFrame::Box);
    frame->setStyleSheet(QStringLiteral("#fraMainFrame { border: 2px solid #d6246e; border-radius: 6px; }"));

    auto* logo = new QLabel(frame);
    logo->setObjectName(QStringLiteral("picLogo"));
    const qreal ratio = devicePixelRatioF();
    QPixmap picture(QSize(160, 160) * ratio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    QSvgRenderer(QStringLiteral(":/logo.svg")).render(&painter);
    painter.end();
    picture.setDevicePixelRatio(ratio);
    logo->setPixmap(picture);
    logo->setFixedSize(160, 160);

    auto* name = new QLabel(MainWindow::ProductName(), frame);
    name->setObjectName(QStringLiteral("lblProductName"));
    QFont nameFont = DesignFont(DesignFace::PGothic);
    nameFont.setPointSizeF(21.75);
    nameFont.setBold(true);
    name->setFont(nameFont);

    auto* version = new QLabel(frame);
    version->setObjectName(QStringLiteral("lblVersion"));
    version->setText(MainWindow::VersionText());

    auto* tagline = new QLabel(QStringLiteral("パーティーのための人物ビンゴ"), frame);
    tagline->setObjectName(QStringLiteral("lblProductTagline"));

    auto* texts = new QVBoxLayout;
    texts->addStretch();
    texts->addWidget(name);
    texts->addWidget(tagline);
    texts->addSpacing(16);
    texts->addWidget(version);
    texts->addStretch();
    auto* inner = new QHBoxLayout(frame);
    inner->setContentsMargins(24, 24, 32, 24);
    inner->setSpacing(28);
    inner->addWidget(logo);
    inner->addLayout(texts);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(10, 10, 10, 10);
    outer->addWidget(frame);

    setFixedSize(520, 240);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}
