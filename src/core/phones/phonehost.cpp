#include "core/phones/phonehost.h"

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

// The draw on the projector comes first: the server's thread yields the processor to it when both
// want it (a nicer thread, never one that waits for an idle processor).
constexpr int kServerNice = 10;

} // namespace

template <typename F> void PhoneHost::Post(F f) {
    QMetaObject::invokeMethod(m_context, std::move(f), Qt::QueuedConnection);
}

template <typename F> void PhoneHost::Wait(F f) {
    QMetaObject::invokeMethod(m_context, std::move(f), Qt::BlockingQueuedConnection);
}

PhoneHost::PhoneHost(const RosterTable& roster, PhoneServerOptions options, QObject* parent)
    : QObject(parent), m_roster(roster) {
    m_thread.setObjectName(QStringLiteral("phones"));
    m_thread.start();
    m_context = new QObject;
    m_context->moveToThread(&m_thread);
    Wait([this, &options] {
#ifdef Q_OS_LINUX
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kServerNice);
#endif
        m_server = std::make_unique<PhoneServer>(m_roster, m_clock, m_random, std::move(options));
    });
    // Emitted on the server's thread, heard on this one's.
    connect(m_server.get(), &PhoneServer::Claimed, this, &PhoneHost::Claimed);
    connect(m_server.get(), &PhoneServer::FreshCardDealt, this, &PhoneHost::FreshCardDealt);
    connect(m_server.get(), &PhoneServer::FreshCardRefused, this, &PhoneHost::FreshCardRefused);
}

PhoneHost::~PhoneHost() {
    Wait([this] { m_server.reset(); });
    m_thread.quit();
    m_thread.wait();
    delete m_context;
}

void PhoneHost::SetCards(std::vector<RecordedCard> cards, int reserveBelow) {
    Post([this, cards = std::move(cards), reserveBelow]() mutable {
        m_server->SetCards(std::move(cards));
        m_server->ReserveNumbersBelow(reserveBelow);
    });
}

void PhoneHost::SetCardRecorder(PhoneServer::CardRecorder recorder) {
    Post(
        [this, recorder = std::move(recorder)]() mutable { m_server->SetCardRecorder(std::move(recorder)); });
}

bool PhoneHost::Start(const QHostAddress& address, quint16 port) {
    Wait([&] {
        m_listening = m_server->Start(address, port);
        m_error = m_server->ErrorText();
        m_address = m_server->Address();
        m_port = m_server->Port();
        m_freshCardUrl = m_listening ? m_server->FreshCardUrl() : QUrl();
    });
    return m_listening;
}

void PhoneHost::Stop() {
    Wait([this] { m_server->Stop(); });
    m_listening = false;
    m_address = QHostAddress();
    m_port = 0;
    m_freshCardUrl = QUrl();
}

void PhoneHost::SetOpenPanels(const std::vector<std::pair<int, qint16>>& panels) {
    Post([this, panels] { m_server->SetOpenPanels(panels); });
}

void PhoneHost::PanelOpened(qint16 row, int panel, bool byHand) {
    Post([this, row, panel, byHand] { m_server->PanelOpened(row, panel, byHand); });
}

void PhoneHost::PanelClosed(qint16 row, int panel) {
    Post([this, row, panel] { m_server->PanelClosed(row, panel); });
}

int PhoneHost::LiveCount() const {
    return m_server->LiveCount();
}

int PhoneHost::DroppedCount() const {
    return m_server->DroppedCount();
}
