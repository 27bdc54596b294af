#include "ui/draw/phonejoin.h"

#include "core/common/timing.h"
#include "core/config/workingfolder.h"
#include "core/draw/drawsequence.h"
#include "core/phones/phonehost.h"
#include "core/programstate.h"
#include "core/record/recordfile.h"
#include "ui/app/dialogs.h"
#include "ui/app/services.h"
#include "ui/draw/phonejoinbox.h"

#include <QDir>
#include <QPointer>
#include <algorithm>

PhoneJoin::PhoneJoin(ProgramState& state, Services& services, DrawSequence& sequence, QObject* parent)
    : QObject(parent), m_state(state), m_services(services), m_sequence(sequence) {}

PhoneJoin::~PhoneJoin() {
    if (m_server) {
        m_sequence.RemoveListener(m_server.get());
        m_server->Stop();
    }
}

bool PhoneJoin::IsServing() const {
    return m_server && m_server->IsListening();
}

QString PhoneJoin::RecordPath() const {
    return CardRecordPath(WorkingFolderOf(m_state), m_state.Settings.RosterFilePath);
}

std::optional<std::vector<RecordedCard>> PhoneJoin::ReadCards(QString& refusal) const {
    const QString path = RecordPath();
    std::vector<RecordedCard> cards; // none when no card was printed yet: only fresh cards
    FileError error;
    if (!LoadCardRecord(path, cards, error)) {
        // Serving without the record would deal numbers that printed cards already carry.
        refusal = QStringLiteral("カード記録を読み込めなかったため、スマホ参加を始められません。\r\n%1\r\n%2")
                      .arg(QDir::toNativeSeparators(path), RecordErrorLines(error));
        return std::nullopt;
    }
    return cards;
}

std::vector<QHostAddress> PhoneJoin::Addresses() const {
    return m_services.networkAddresses ? m_services.networkAddresses() : std::vector<QHostAddress>{};
}

QHostAddress PhoneJoin::PreferredAddress() const {
    const std::vector<QHostAddress> addresses = Addresses();
    // Where the QR codes of the newest printed cards point, when this computer still has it.
    QString ignored;
    const std::vector<RecordedCard> cards = ReadCards(ignored).value_or(std::vector<RecordedCard>{});
    for (auto card = cards.rbegin(); card != cards.rend(); ++card) {
        const QString printed = card->PhoneAddress.section(QLatin1Char(':'), 0, 0);
        if (printed.isEmpty()) {
            continue;
        }
        const auto found = std::find(addresses.begin(), addresses.end(), QHostAddress(printed));
        if (found != addresses.end()) {
            return *found;
        }
        break;
    }
    return addresses.empty() ? QHostAddress() : addresses.front();
}

bool PhoneJoin::Start(const QHostAddress& address) {
    if (!m_server) {
        const std::optional<std::vector<RecordedCard>> read = ReadCards(m_error);
        if (!read) {
            return false;
        }
        const std::vector<RecordedCard>& cards = *read;
        PhoneServerOptions options;
        options.PicturesFolder = m_state.Settings.Pictures;
        options.FreshCards.RosterPath = m_state.Settings.RosterFilePath;
        options.FreshCards.Fingerprint = RosterFingerprint(m_state.Roster);
        // A guest's card has as many cells as the printed ones.
        options.FreshCards.Side = cards.empty() ? 5 : cards.back().Side;
        for (const RecordedCard& card : cards) {
            if (HasPhonePage(card, options.FreshCards.Fingerprint)) {
                m_served.push_back(card);
            }
        }
        m_server = std::make_unique<PhoneHost>(m_state.Roster, options);
        connect(m_server.get(), &PhoneHost::Claimed, this, &PhoneJoin::Claimed);
        const QString path = RecordPath();
        connect(m_server.get(), &PhoneHost::FreshCardDealt, this, [this, path](const RecordedCard& card) {
            m_served.push_back(card);
            int& given = m_state.CardNumbersGiven[path];
            given = std::max(given, card.Number + 1);
        });
        connect(m_server.get(), &PhoneHost::FreshCardRefused, this,
                [this](const QString& failure) { m_failure = failure; });
        // Runs on the server's recording thread: it touches the file alone.
        m_server->SetCardRecorder([path](const RecordedCard& card, QString& failure) {
            FileError error;
            if (AddCardsToRecord(path, {card}, error)) {
                return true;
            }
            failure =
                QStringLiteral(
                    "スマホに渡すカードをカード記録に書き込めなかったため、渡していません。\r\n%1\r\n%2")
                    .arg(QDir::toNativeSeparators(path), RecordErrorLines(error));
            return false;
        });
        // Numbers printed in this session whose record could not be written are given all the same.
        m_server->SetCards(cards, m_state.CardNumbersGiven.value(path, 1));
        m_sequence.AddListener(m_server.get());
    }
    m_server->SetOpenPanels(m_sequence.OpenedPanels());
    if (!m_server->Start(address, kPhonePort)) {
        m_error = QStringLiteral("スマホ参加を始められませんでした。\r\n%1 (%2)")
                      .arg(address.toString() + QLatin1Char(':') + QString::number(kPhonePort),
                           m_server->ErrorText());
        return false;
    }
    m_error.clear();
    return true;
}

void PhoneJoin::Stop() {
    if (m_server) {
        m_server->Stop();
    }
}

QString PhoneJoin::JoinUrl() const {
    return IsServing() ? m_server->FreshCardUrl().toString() : QString();
}

const RecordedCard* PhoneJoin::ServedCard(int number) const {
    const auto found = std::find_if(m_served.begin(), m_served.end(),
                                    [number](const RecordedCard& card) { return card.Number == number; });
    return found == m_served.end() ? nullptr : &*found;
}

int PhoneJoin::PhoneCount() const {
    return m_server ? m_server->LiveCount() : 0;
}

void PhoneJoin::ShowBox(QWidget* over) {
    const std::vector<QHostAddress> addresses = Addresses();
    QHostAddress current = IsServing() ? m_server->Address() : PreferredAddress();
    const auto at = std::find(addresses.begin(), addresses.end(), current);
    auto* box = new PhoneJoinBox(addresses,
                                 at == addresses.end() ? 0 : static_cast<int>(at - addresses.begin()), over);
    const QPointer<PhoneJoinBox> guard(box);
    const auto serveOn = [this, box](const QHostAddress& address) {
        if (address.isNull()) {
            box->ShowFailure(
                QStringLiteral("ネットワークにつながっていないため、スマホ参加を始められません。"));
        } else if (Start(address)) {
            box->ShowServing(JoinUrl(), PhoneCount());
        } else {
            box->ShowFailure(m_error);
        }
    };
    box->AddressChosen = serveOn;
    if (IsServing()) {
        box->ShowServing(JoinUrl(), PhoneCount());
    } else {
        serveOn(at == addresses.end() ? QHostAddress() : current);
    }
    // The count of phones follows while the box is up.
    const QPointer<PhoneJoin> self(this);
    const std::unique_ptr<Timer> count = m_services.clock.CreateTimer();
    count->SetInterval(1000);
    count->SetCallback([this, self, guard] {
        if (self && guard && IsServing()) {
            guard->ShowPhones(PhoneCount());
        }
    });
    count->Start();
    const int result = m_services.dialogs.Exec(*box);
    if (!self) {
        return; // the draw screen went while the box was up, and this with it
    }
    if (result == PhoneJoinBox::kEnded) {
        Stop();
    }
    if (guard) {
        delete box;
    }
}
