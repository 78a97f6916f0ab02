#include "app/IstanzaUnica.h"

#include <QTemporaryDir>
#include <QTest>

#include <future>
#include <thread>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Someone listening on the name a running copy would have, on a thread of its own since a start waits for its
// answer: it reads what a start sends (up to the second line feed, or until the start hangs up) and answers
// `risposta`. What it received comes out of `ricevuto`.
class Ascoltatore
{
public:
    Ascoltatore(const QString& nome, QByteArray risposta)
    {
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un indirizzo{};
        indirizzo.sun_family = AF_UNIX;
        const QByteArray n = nome.toUtf8();
        memcpy(indirizzo.sun_path + 1, n.constData(), size_t(n.size())); // abstract: a NUL first
        const auto lunghezza = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + size_t(n.size()));
        m_pronto = m_fd >= 0 && ::bind(m_fd, reinterpret_cast<sockaddr*>(&indirizzo), lunghezza) == 0 &&
                   ::listen(m_fd, 4) == 0;
        m_filo = std::thread([this, risposta, fine = std::move(m_ricevuto)]() mutable {
            fine.set_value(servi(risposta));
        });
    }
    ~Ascoltatore()
    {
        m_filo.join();
        ::close(m_fd);
    }
    bool pronto() const { return m_pronto; }
    QByteArray ricevuto() { return m_futuro.get(); }

private:
    QByteArray servi(const QByteArray& risposta) const
    {
        pollfd attesa{m_fd, POLLIN, 0};
        if (!m_pronto || ::poll(&attesa, 1, 10000) != 1)
            return "<nessuno>";
        const int c = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
        QByteArray letto;
        char blocco[256];
        pollfd dati{c, POLLIN, 0};
        while (letto.count('\n') < 2 && ::poll(&dati, 1, 10000) == 1) {
            const ssize_t n = ::read(c, blocco, sizeof(blocco));
            if (n <= 0)
                break;
            letto.append(blocco, n);
        }
        if (!risposta.isEmpty())
            (void)::write(c, risposta.constData(), size_t(risposta.size()));
        ::close(c);
        return letto;
    }

    int m_fd = -1;
    bool m_pronto = false;
    std::promise<QByteArray> m_ricevuto;
    std::future<QByteArray> m_futuro = m_ricevuto.get_future();
    std::thread m_filo;
};

} // namespace

class TestIstanzaUnica : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void chiRisponde_data();
    void chiRisponde();
};

void TestIstanzaUnica::chiRisponde_data()
{
    QTest::addColumn<QByteArray>("risposta");
    QTest::addColumn<bool>("altroUtente"); // the listener is not the user the start expects
    QTest::addColumn<int>("avvio");
    QTest::addColumn<QByteArray>("ricevuto");

    const QByteArray richiesta = "carnetto 1\n/a/b.vcf\n";
    using A = IstanzaUnica::Avvio;
    QTest::newRow("una copia dell'utente") << QByteArray("ok\n") << false << int(A::Consegnato) << richiesta;
    QTest::newRow("risposta diversa") << QByteArray("ok?\n") << false << int(A::DaSola) << richiesta;
    QTest::newRow("nessuna risposta") << QByteArray() << false << int(A::DaSola) << richiesta;
    // The file's name is not even sent to a listener of another user.
    QTest::newRow("un altro utente") << QByteArray("ok\n") << true << int(A::DaSola) << QByteArray();
}

// A start that finds the name taken hands the file over only to a copy of its user that answers as one; anything
// else, and the start goes on with a window of its own, without the name.
void TestIstanzaUnica::chiRisponde()
{
    QFETCH(QByteArray, risposta);
    QFETCH(bool, altroUtente);
    QFETCH(int, avvio);
    QFETCH(QByteArray, ricevuto);
    QTemporaryDir cartella;
    IstanzaUnica istanza(cartella.path());
    if (altroUtente)
        istanza.attendiUtente(::getuid() + 1);
    Ascoltatore ascoltatore(IstanzaUnica::nomeServer(cartella.path()), risposta);
    QVERIFY(ascoltatore.pronto());

    QCOMPARE(int(istanza.avvia(QStringLiteral("/a/b.vcf"))), avvio);
    QCOMPARE(ascoltatore.ricevuto(), ricevuto);
}

QTEST_MAIN(TestIstanzaUnica)
#include "TestIstanzaUnica.moc"
