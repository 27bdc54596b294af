#include "ui/registration/registrationform.h"

#include "core/common/designfonts.h"
#include "core/roster/participantfiles.h"
#include "ui/app/childscreen.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr double kH = 450; // height of a field row
constexpr double kLabelLeft = 60;
constexpr double kLabelWidth = 1065;

// The form's client area: a little beyond the right edge of the photo field and the bottom
// edge of the apply button.
constexpr double kClientWidthTwips = 8775 + 50 + 55;
constexpr double kClientHeightTwips = 5640 + 405 + 100;

const struct {
    Qt::Alignment alignment;
    bool inputMethod;
    QRectF rect;
} kFields[kFieldCount] = {
    {Qt::AlignRight, false, {1650, 150, 900, 492}},   {Qt::AlignRight, false, {2640, 150, 600, 492}},
    {Qt::AlignLeft, true, {1650, 840, 4650, kH}},     {Qt::AlignLeft, false, {1650, 1650, 900, kH}},
    {Qt::AlignHCenter, false, {2920, 1650, 600, kH}}, {Qt::AlignHCenter, false, {3890, 1650, 600, kH}},
    {Qt::AlignHCenter, false, {1650, 2085, 600, kH}}, {Qt::AlignLeft, false, {3540, 2130, 4100, kH}},
    {Qt::AlignLeft, true, {1620, 2580, 7155, kH}},    {Qt::AlignLeft, true, {1620, 3075, 7155, kH}},
    {Qt::AlignLeft, true, {1620, 3570, 7155, kH}},    {Qt::AlignLeft, true, {1650, 4065, 7125, kH}},
    {Qt::AlignRight, false, {1650, 4560, 1080, kH}},  {Qt::AlignRight, false, {3660, 4560, 780, kH}},
    {Qt::AlignLeft, true, {1620, 5055, 7155, kH}},    {Qt::AlignHCenter, false, {1650, 5550, 450, kH}},
};

// Fields 4, 5, 12 and 13 have no label button; 9 and 10 take their captions from the roster.
const struct {
    Field field;
    const char16_t* caption;
    QRectF rect;
} kLabelButtons[] = {
    {Field::RowNumber, u"行番号", {kLabelLeft, 120, kLabelWidth, 504}},
    {Field::Spare, u"予備", {kLabelLeft, 120, kLabelWidth, 504}},
    {Field::Name, u"氏名", {kLabelLeft, 840, kLabelWidth, kH}},
    {Field::BirthYear, u"生年月日", {kLabelLeft, 1650, kLabelWidth, kH}},
    {Field::BloodType, u"血液型", {kLabelLeft, 2085, kLabelWidth, kH}},
    {Field::Birthplace, u"出身地", {2370, 2130, kLabelWidth, kH}},
    {Field::Affiliation, u"所属", {kLabelLeft, 2580, kLabelWidth, kH}},
    {Field::FavouriteWords, u"好きな言葉", {kLabelLeft, 3075, kLabelWidth, kH}},
    {Field::Comment, u"一言", {kLabelLeft, 3570, kLabelWidth, kH}},
    {Field::Song, u"テーマ曲", {kLabelLeft, 4065, kLabelWidth, kH}},
    {Field::Photo, u"写真", {kLabelLeft, 5055, kLabelWidth, kH}},
    {Field::Excluded, u"抽選除外", {kLabelLeft, 5550, kLabelWidth, kH}},
};

// Label1: the units after the birth date fields; Label2: the hints.
const struct {
    const char16_t* text;
    QRectF rect;
} kLabel1[] = {{u"日", {4520, 1700, 360, 360}},
               {u"年", {2580, 1700, 360, 360}},
               {u"月", {3550, 1700, 360, 360}}},
  kLabel2[] = {
      {u"省略は自動付番", {2640, 300, 2400, 270}},
      {u"氏名を入力せずに登録するとそのデータは削除されます。", {1650, 645, 4750, 195}},
      {u"1を指定すると抽選時に除外されます。", {2220, 5640, 4700, 300}},
      {u"秒から", {2790, 4620, 840, 330}},
      {u"秒間　再生", {4500, 4620, 1450, 330}},
};

void SetBackground(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

// A push button in a solid colour of its own (styles would otherwise wash it out).
void SetButtonColour(QPushButton* button, const QColor& colour) {
    button->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; color: black; border: 1px solid #606060;"
                       " border-radius: 3px; padding: 0px; }"
                       " QPushButton:pressed { background-color: %2; }")
            .arg(colour.name(), colour.darker(120).name()));
}

template <typename Widget>
Widget* Make(QWidget* parent, const QString& name, const QRectF& twips, const QString& text = QString()) {
    auto* widget = new Widget(text, parent);
    widget->setObjectName(name);
    PlaceTwips(widget, twips);
    return widget;
}

} // namespace

QSize RegistrationClientSize(const QWidget* screen) {
    return {TwipsToPixels(screen, kClientWidthTwips), TwipsToPixels(screen, kClientHeightTwips)};
}

void PlaceTwips(QWidget* widget, const QRectF& twips) {
    widget->setGeometry(TwipsToPixels(widget, twips.left()), TwipsToPixels(widget, twips.top()),
                        TwipsToPixels(widget, twips.width()), TwipsToPixels(widget, twips.height()));
}

void SetLabelCaption(QPushButton* button, const QString& caption) {
    QString text = caption;
    button->setText(text.replace(QStringLiteral("&"), QStringLiteral("&&")));
    QFont font = DesignFont(DesignFace::Gothic, 12, true);
    const int room = button->width() - 6;
    while (font.pointSizeF() > 7 && QFontMetrics(font).horizontalAdvance(caption) > room) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    button->setFont(font);
}

void RegistrationForm::SetUp(QWidget* screen) {
    screen->setObjectName(QStringLiteral("Frm参加者登録"));
    screen->setFont(DesignFont(DesignFace::PGothic, 9.75, true));
    SetBackground(screen, QPalette::Window, QColor(192, 192, 192));
    screen->setAutoFillBackground(true);

    // The preview first, so that the fields further down are drawn over a tall picture.
    Image1 = Make<QLabel>(screen, QStringLiteral("Image1"),
                          {6450, 120, kPhotoBoxWidthTwips, kPhotoBoxHeightTwips});
    Image1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Image1->setLineWidth(1);
    Image1->setScaledContents(true);

    const QFont unitFont = DesignFont(DesignFace::PGothic, 15.75, true);
    for (int i = 0; i < 3; ++i) {
        Make<QLabel>(screen, QStringLiteral("Label1_%1").arg(i), kLabel1[i].rect,
                     QString::fromUtf16(kLabel1[i].text))
            ->setFont(unitFont);
    }
    for (int i = 0; i < 5; ++i) {
        Make<QLabel>(screen, QStringLiteral("Label2_%1").arg(i), kLabel2[i].rect,
                     QString::fromUtf16(kLabel2[i].text));
    }

    const QFont fieldFont = DesignFont(DesignFace::Gothic, 18, false);
    for (int i = 0; i < kFieldCount; ++i) {
        auto* field = Make<QLineEdit>(screen, QStringLiteral("txt入力項目_%1").arg(i), kFields[i].rect);
        field->setFont(fieldFont);
        field->setAlignment(kFields[i].alignment | Qt::AlignVCenter);
        field->setAttribute(Qt::WA_InputMethodEnabled, kFields[i].inputMethod);
        SetBackground(field, QPalette::Base,
                      i == 0   ? QColor(255, 192, 192)
                      : i == 1 ? QColor(192, 255, 255)
                               : QColor(192, 255, 192));
        field->setAcceptDrops(i == int(Field::Song) || i == int(Field::Photo) || i == int(Field::Excluded));
        Fields[i] = field;
    }
    Fields[static_cast<int>(Field::Spare)]->hide();

    for (const auto& l : kLabelButtons) {
        auto* button =
            Make<QPushButton>(screen, QStringLiteral("cmdラベル_%1").arg(static_cast<int>(l.field)), l.rect);
        button->setFocusPolicy(Qt::ClickFocus); // not a tab stop
        SetLabelCaption(button, QString::fromUtf16(l.caption));
        LabelButtons[static_cast<int>(l.field)] = button;
    }
    SetButtonColour(LabelButtons[static_cast<int>(Field::RowNumber)], QColor(192, 192, 255));
    LabelButtons[static_cast<int>(Field::Spare)]->hide();

    const QFont arrowFont = DesignFont(DesignFace::PGothic, 14.25, true);
    for (int i = 0; i < 2; ++i) {
        StepButtons[i] = Make<QPushButton>(screen, QStringLiteral("Cmdデータ参照_%1").arg(i),
                                           {1200, i == 0 ? 60.0 : 420.0, 375, 345},
                                           i == 0 ? QStringLiteral("↑") : QStringLiteral("↓"));
        StepButtons[i]->setFont(arrowFont);
    }

    Apply =
        Make<QPushButton>(screen, QStringLiteral("Cmd登録"), {7080, 5640, 1665, 405}, QStringLiteral("適用"));
    Apply->setFont(DesignFont(DesignFace::PGothic, 15.75, true));
    SetButtonColour(Apply, QColor(255, 128, 0));

    Audition =
        Make<QPushButton>(screen, QStringLiteral("cmd試聴"), {6000, 4590, 900, 390}, QStringLiteral("試聴"));
    Audition->setFont(DesignFont(DesignFace::PGothic, 9.75, false));
    Audition->setFocusPolicy(Qt::TabFocus); // the audition leaves the focus where it was
    SetButtonColour(Audition, QColor(255, 255, 0));
}
