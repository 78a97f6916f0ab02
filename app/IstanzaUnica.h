#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

// One running copy of the program per archive folder and user on a desktop. The first copy listens on a local
// socket named after its folder; a second start hands its command line (a vCard file to open, or nothing) to
// it and ends, and the first comes to the front. The socket lives in the abstract namespace where the system
// has one (Linux): no file is left anywhere, and the name goes away with a copy that dies, so a crashed copy
// never keeps the next one out. Elsewhere a name no one answers on is taken over.
class IstanzaUnica : public QObject
{
    Q_OBJECT

public:
    explicit IstanzaUnica(const QString& cartella, QObject* parent = nullptr);
    ~IstanzaUnica() override;

    enum class Avvio {
        Prima,      // this copy is the one for the folder, and listens
        Consegnato, // a running copy took the request: this start ends
        DaSola,     // no socket could be had: this copy runs alone, as it would without the check
    };
    // `file`: the absolute path of the vCard file this start was given, or empty.
    Avvio avvia(const QString& file);

    static QString nomeServer(const QString& cartella);

    // The user the other end must be, this process's own unless a test, which may run as root, says otherwise.
    void attendiUtente(uint uid);

Q_SIGNALS:
    // Another start of the program for the same folder: come to the front, and import `file` when there is one.
    void richiesta(const QString& file);

private:
    enum class Consegna {
        Presa,          // a copy of this user's answered that it has the request
        NessunoAscolta, // no one listens on the name
        Estranea,       // someone listens, but not a copy of this user's: it was told nothing, or nothing taken
    };
    Consegna consegna(const QString& file) const;
    void leggiRichiesta();
    void leggi(QLocalSocket* socket);

    QString m_nome;
    QLocalServer* m_server;
    uint m_utente;
};
