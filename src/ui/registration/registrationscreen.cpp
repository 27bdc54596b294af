#include "ui/registration/registrationscreen.h"

#include "core/common/photo.h"
#include "core/media/musicplayer.h"
#include "core/programstate.h"
#include "core/roster/participantfiles.h"
#include "ui/app/childscreen.h"
#include "ui/app/dialogs.h"
#include "ui/app/services.h"
#include "ui/media/musicplayingbox.h"
#include "ui/registration/fieldvalidator.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

RegistrationScreen::RegistrationScreen(ProgramState& state, Services& services, QWidget* parent)
    : QWidget(parent), m_state(state), m_services(services), m_editor(state, *this) {
    setAttribute(Qt::WA_DeleteOnClose);
    m_form.SetUp(this);
    for (int i = 0; i < kFieldCount; ++i) {
        const Field f = Field(i);
        QLineEdit* field = m_form.Fields[i];
        field->setValidator(new FieldValidator(field, f, m_state.RosterEncoding,
                                               [this](const QString& c) { RefuseCharacter(c); }));
        field->installEventFilter(this);
        if (QPushButton* button = m_form.LabelButtons[i]) {
            connect(button, &QPushButton::clicked, this, [this, f] { cmdラベル_Click(f); });
        }
    }
    for (int i = 0; i < 2; ++i) {
        connect(m_form.StepButtons[i], &QPushButton::clicked, this, [this, i] { Cmdデータ参照_Click(i); });
    }
    connect(m_form.Apply, &QPushButton::clicked, this, [this] { ApplyRecord(); });
    connect(m_form.Audition, &QPushButton::clicked, this, [this] { cmd試聴_Click(); });

    resize(sizeHint());
    m_editor.Open();
    for (const Field field : {Field::FavouriteWords, Field::Comment}) {
        SetLabelCaption(m_form.LabelButtons[static_cast<int>(field)], m_editor.LabelCaption(field));
    }
    FocusField(Field::RowNumber);
}

QSize RegistrationScreen::sizeHint() const {
    return RegistrationClientSize(this);
}

QString RegistrationScreen::FieldText(Field field) const {
    return Edit(field)->text();
}

void RegistrationScreen::SetFieldText(Field field, const QString& text) {
    auto* validator = static_cast<FieldValidator*>(const_cast<QValidator*>(Edit(field)->validator()));
    validator->SetProgrammatic(true);
    Edit(field)->setText(text);
    validator->SetProgrammatic(false);
}

bool RegistrationScreen::Tell(const QString& message) {
    if (message.isEmpty()) {
        return true;
    }
    const QPointer<RegistrationScreen> self(this);
    m_services.dialogs.ShowMessage(message);
    return !self.isNull();
}

bool RegistrationScreen::Tell(const EditStep& step) {
    for (const QString& message : step.Messages) {
        if (!Tell(message)) {
            return false;
        }
    }
    if (step.ShowPhoto) {
        ShowPhotoPreview();
    }
    return true;
}

void RegistrationScreen::FocusField(Field field) {
    m_editor.SetCurrentField(field);
    QLineEdit* edit = Edit(field);
    if (!edit->hasFocus()) {
        edit->setFocus(Qt::OtherFocusReason);
        if (isVisible() && !isActiveWindow() && !edit->hasFocus()) {
            // The window is not active (no window manager gave it back after a box, say): the
            // field takes the keys without being told it has the focus, so fill and select it
            // here, and leave the others unselected as on losing the focus.
            for (QLineEdit* other : m_form.Fields) {
                if (other != edit) {
                    other->deselect();
                }
            }
            FieldReceivedFocus(field);
        }
    }
}

void RegistrationScreen::FieldReceivedFocus(Field field) {
    m_editor.EnterField(field);
    Edit(field)->setSelection(0, static_cast<int>(FieldText(field).size()));
}

void RegistrationScreen::ApplyRecord() {
    const std::optional<QString> question = m_editor.ApplyQuestion();
    if (!question) {
        return;
    }
    const QPointer<RegistrationScreen> self(this);
    const auto answer = m_services.dialogs.AskYesNo(this, *question, Dialogs::Answer::Yes);
    if (!self) {
        return;
    }
    if (answer == Dialogs::Answer::Yes) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const EditStep step = m_editor.ApplyConfirmed();
        QApplication::restoreOverrideCursor();
        if (!Tell(step)) {
            return;
        }
    }
    FocusField(m_editor.CurrentField());
}

void RegistrationScreen::ConfirmAbort() {
    const QPointer<RegistrationScreen> self(this);
    const auto answer =
        m_services.dialogs.AskYesNo(this, RecordEditor::AbortQuestion(), Dialogs::Answer::Yes);
    if (self && answer == Dialogs::Answer::Yes) {
        m_closing = true;
        CloseScreen(this);
    }
}

void RegistrationScreen::closeEvent(QCloseEvent* event) {
    // Closing never asks about edits not applied and never saves.
    m_closing = true;
    event->accept();
}

int RegistrationScreen::FieldIndexOf(QObject* object) const {
    const auto found = std::find(m_form.Fields.begin(), m_form.Fields.end(), object);
    return found == m_form.Fields.end() ? -1 : static_cast<int>(found - m_form.Fields.begin());
}

bool RegistrationScreen::eventFilter(QObject* watched, QEvent* event) {
    const int index = FieldIndexOf(watched);
    if (index < 0) {
        return QWidget::eventFilter(watched, event);
    }
    const Field field = Field(index);
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        return FieldKeyPressed(field, key->key(), key->modifiers());
    }
    case QEvent::FocusIn:
        // Let the field take the focus first, then fill and select it.
        m_focusArrivedByMouse = static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason;
        Edit(field)->event(event);
        FieldReceivedFocus(field);
        return true;
    case QEvent::FocusOut:
        Edit(field)->event(event);
        Edit(field)->deselect();
        return true;
    case QEvent::MouseButtonPress: {
        const bool arrived = m_focusArrivedByMouse;
        m_focusArrivedByMouse = false;
        if (!arrived && field == m_editor.CurrentField()) {
            return false; // a click inside the field being edited places the cursor as usual
        }
        const QPointer<RegistrationScreen> self(this);
        FieldClicked(field);
        // A screen destroyed under a box opened by the click has taken the field with it: the
        // event must not travel on to it.
        return !self || static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (drag->mimeData()->hasUrls()) {
            drag->acceptProposedAction();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        QStringList paths;
        for (const QUrl& url : drop->mimeData()->urls()) {
            if (url.isLocalFile()) {
                paths.append(url.toLocalFile());
            }
        }
        if (paths.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        ImportDroppedFiles(field, paths);
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

bool RegistrationScreen::FieldKeyPressed(Field field, int key, Qt::KeyboardModifiers modifiers) {
    m_editor.SetCurrentField(field);
    const QPointer<RegistrationScreen> self(this);
    switch (key) {
    case Qt::Key_Tab:
        if (modifiers & Qt::ShiftModifier) {
            QApplication::beep();
            Move(m_editor.MoveBack());
            return true;
        }
        [[fallthrough]];
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
        if (key == Qt::Key_Down) {
            QApplication::beep();
        }
        Move(m_editor.MoveForward());
        return true;
    case Qt::Key_Up:
    case Qt::Key_Backtab:
        QApplication::beep();
        Move(m_editor.MoveBack());
        return true;
    case Qt::Key_F1:
    case Qt::Key_Escape:
        ConfirmAbort();
        if (self && !m_closing) {
            FocusField(m_editor.CurrentField());
        }
        return true;
    case Qt::Key_F5:
        m_editor.RestoreField();
        FocusField(m_editor.CurrentField());
        return true;
    case Qt::Key_F12:
        ApplyRecord();
        if (self) {
            FocusField(m_editor.CurrentField());
        }
        return true;
    default:
        return false;
    }
}

void RegistrationScreen::Move(const EditStep& step) {
    if (!Tell(step) || !step.Valid) {
        return;
    }
    if (step.Apply) {
        ApplyRecord();
    } else {
        FocusField(m_editor.CurrentField());
    }
}

void RegistrationScreen::FieldClicked(Field field) {
    const EditStep step = m_editor.Click(field);
    if (!Tell(step)) {
        return;
    }
    FocusField(m_editor.CurrentField());
    if (step.Valid) {
        FieldReceivedFocus(field);
    }
}

void RegistrationScreen::cmdラベル_Click(Field field) {
    switch (field) {
    case Field::BloodType:
        m_editor.NextBloodType();
        FocusField(field);
        break;
    case Field::Birthplace:
        if (m_editor.NextPrefecture()) {
            FocusField(field); // otherwise the focus stays on the button, to go on with the cycle
        }
        break;
    case Field::FavouriteWords:
    case Field::Comment:
        RenameCaption(field);
        break;
    case Field::Song:
    case Field::Photo: {
        const FileChooser chooser = ChooserFor(field, m_state.Settings);
        const QPointer<RegistrationScreen> self(this);
        const QString chosen =
            m_services.dialogs.OpenFileName(this, chooser.Title, chooser.Folder, chooser.Filters, 1);
        if (self && Tell(m_editor.TakeChosenFile(field, chosen))) {
            FocusField(field);
        }
        break;
    }
    default:
        FocusField(field);
        break;
    }
}

void RegistrationScreen::RenameCaption(Field field) {
    const InputQuestion question = m_editor.RenameQuestion(field);
    const QPointer<RegistrationScreen> self(this);
    const std::optional<QString> answer =
        m_services.dialogs.InputText(this, question.Title, question.Prompt, question.DefaultAnswer);
    if (!self) {
        return;
    }
    std::optional<QString> shown;
    const EditStep step = m_editor.RenameCaption(field, answer, shown);
    if (shown) {
        SetLabelCaption(m_form.LabelButtons[static_cast<int>(field)], *shown);
    }
    if (Tell(step)) {
        FocusField(field);
    }
}

void RegistrationScreen::RefuseCharacter(const QString& character) {
    // Told while the field checks what was typed: the message follows once that is over.
    if (m_refusalPending) {
        return;
    }
    m_refusalPending = true;
    QTimer::singleShot(0, this, [this, character] {
        m_refusalPending = false;
        m_services.dialogs.ShowMessage(RefusedCharacterMessage(character));
    });
}

void RegistrationScreen::Cmdデータ参照_Click(int index) {
    if (Tell(m_editor.StepRow(index == 0 ? -1 : 1))) {
        FocusField(m_editor.CurrentField()); // the field being edited keeps the focus
    }
}

void RegistrationScreen::cmd試聴_Click() {
    const AuditionRequest audition = m_editor.Audition();
    if (!audition.Message.isEmpty()) {
        m_services.dialogs.ShowMessage(audition.Message);
        return;
    }
    // The song is closed through the service itself: it must stop even if the screen has gone
    // while the box was open.
    MusicPlayer& music = m_services.music;
    music.PlayMusic(audition.Path, audition.Start);
    // On the heap: the box is a child of the screen and goes with it if the screen is destroyed
    // while the box runs.
    const QPointer<MusicPlayingBox> box =
        new MusicPlayingBox(m_services.dialogs, m_services.clock, m_services.music, this);
    box->PlayMusicBox(audition.Prompt, audition.Title, audition.Path, audition.Seconds);
    delete box.data();
    music.CloseMusic(audition.Path);
}

void RegistrationScreen::ShowPhotoPreview() {
    m_form.Image1->resize(TwipsToPixels(this, kPhotoBoxWidthTwips),
                          TwipsToPixels(this, kPhotoBoxHeightTwips));
    m_form.Image1->clear();
    const QString path = m_editor.PhotoPath();
    const QSize natural = path.isEmpty() ? QSize() : PhotoSize(path);
    if (natural.isEmpty()) {
        return;
    }
    // Decoded at the size shown, not the camera's.
    const QSizeF twips = PhotoPreviewTwips(natural.width(), natural.height());
    const QSize size(TwipsToPixels(this, twips.width()), TwipsToPixels(this, twips.height()));
    const QImage image = LoadPhoto(path, size);
    if (!image.isNull()) {
        m_form.Image1->resize(size);
        m_form.Image1->setPixmap(QPixmap::fromImage(image));
    }
}

void RegistrationScreen::ImportDroppedFiles(Field field, const QStringList& paths) {
    for (const QString& path : paths) {
        const DroppedFile dropped = ImportDroppedFile(path, field, m_state.Settings, m_state.RosterEncoding);
        if (dropped.Copied) {
            SetFieldText(field, dropped.Name);
        } else if (!Tell(dropped.Message)) {
            return; // the remaining files go with the screen
        }
    }
}
