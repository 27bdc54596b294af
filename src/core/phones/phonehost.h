#pragma once

#include "core/common/random.h"
#include "core/common/timing.h"
#include "core/draw/drawlistener.h"
#include "core/phones/phoneserver.h"
#include "core/roster/roster.h"

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QThread>
#include <QUrl>
#include <memory>
#include <utility>
#include <vector>

// The phone server on a thread of its own, with its own event loop: however many phones ask for
// whatever, the window's thread only posts the panels as they open and close, and hears of claims
// and fresh cards through queued signals. The server reads a copy of the roster taken when this
// is made, its own clock and its own random numbers; nothing it touches is shared with the
// window's thread. Start and Stop wait for the server, so that on return it listens, or nothing
// does.
class PhoneHost : public QObject, public DrawListener {
    Q_OBJECT

public:
    PhoneHost(const RosterTable& roster, PhoneServerOptions options, QObject* parent = nullptr);
    ~PhoneHost() override;

    // The cards with pages (as PhoneServer::SetCards), fresh cards numbered from reserveBelow on
    // at the least, and how fresh cards are recorded (on the server's recording thread).
    void SetCards(std::vector<RecordedCard> cards, int reserveBelow);
    void SetCardRecorder(PhoneServer::CardRecorder recorder);

    bool Start(const QHostAddress& address, quint16 port);
    void Stop();
    bool IsListening() const { return m_listening; }
    QHostAddress Address() const { return m_address; }
    quint16 Port() const { return m_port; }
    QString ErrorText() const { return m_error; }
    QUrl FreshCardUrl() const { return m_freshCardUrl; }

    void SetOpenPanels(const std::vector<std::pair<int, qint16>>& panels);
    void PanelOpened(qint16 row, int panel, bool byHand) override;
    void PanelClosed(qint16 row, int panel) override;

    int LiveCount() const;
    int DroppedCount() const;

signals:
    void Claimed(int cardNumber);
    void FreshCardDealt(const RecordedCard& card);
    void FreshCardRefused(const QString& failure);

private:
    // Runs f with the server on its thread; Wait returns once it has run.
    template <typename F> void Post(F f);
    template <typename F> void Wait(F f);

    RosterTable m_roster;
    QtClock m_clock;
    ClockSeededFractions m_random;
    QThread m_thread;
    QObject* m_context = nullptr;          // lives on the thread: where posted calls run
    std::unique_ptr<PhoneServer> m_server; // made, used and destroyed on the thread
    bool m_listening = false;
    QHostAddress m_address;
    quint16 m_port = 0;
    QString m_error;
    QUrl m_freshCardUrl;
};
