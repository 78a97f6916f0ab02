#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class HelpKey;
class TfrmCarnetto;
class TfrmContatti;
class TfrmCodFisc;
class TfrmBakContatti;
class TfrmExpContatti;
class TfrmIva;
class TfrmTrovaContatti;
class TfrmInfo;
class TfrmHelpForm;
class TfrmSplash;
class TfrmSincronizza;

// The ten shared windows of the program. They are created once, in a fixed order, live for the whole run
// and are reached through the accessors below, named after the instances; only app/ and tests use them.
// The windows ask for each other through signals, and Forms is where those signals are connected. Only
// one set exists at a time.
class Forms
{
public:
    // appDir: the folder of the executable, where the archive lives.
    explicit Forms(const QString& appDir);
    ~Forms();
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;

    static Forms& instance();

    const QString& appDir() const { return m_appDir; }
    // The application help file, set while the credits window is created.
    const QString& helpFile() const { return m_helpFile; }
    void setHelpFile(const QString& path) { m_helpFile = path; }
    // Object names of the windows in the order they were created.
    const QStringList& creationOrder() const { return m_creationOrder; }

private:
    friend TfrmCarnetto* frmCarnetto();
    friend TfrmContatti* frmContatti();
    friend TfrmCodFisc* frmCodFisc();
    friend TfrmBakContatti* frmBakContatti();
    friend TfrmExpContatti* frmExpContatti();
    friend TfrmIva* frmIva();
    friend TfrmTrovaContatti* frmTrovaContatti();
    friend TfrmInfo* frmInfo();
    friend TfrmHelpForm* frmHelpForm();
    friend TfrmSplash* frmSplash();
    TfrmSincronizza* frmSincronizza();
    friend TfrmSincronizza* frmSincronizza();

    template <typename Window> std::unique_ptr<Window> create();
    void connectWindows();

    QString m_appDir;
    QString m_helpFile;
    QStringList m_creationOrder;

    std::unique_ptr<TfrmCarnetto> m_carnetto;
    std::unique_ptr<TfrmContatti> m_contatti;
    std::unique_ptr<TfrmCodFisc> m_codFisc;
    std::unique_ptr<TfrmBakContatti> m_bakContatti;
    std::unique_ptr<TfrmExpContatti> m_expContatti;
    std::unique_ptr<TfrmIva> m_iva;
    std::unique_ptr<TfrmTrovaContatti> m_trovaContatti;
    std::unique_ptr<TfrmInfo> m_info;
    std::unique_ptr<TfrmHelpForm> m_helpForm;
    std::unique_ptr<TfrmSplash> m_splash;
    std::unique_ptr<TfrmSincronizza> m_sincronizza;
    std::unique_ptr<HelpKey> m_helpKey;
};

TfrmCarnetto* frmCarnetto();
TfrmContatti* frmContatti();
TfrmCodFisc* frmCodFisc();
TfrmBakContatti* frmBakContatti();
TfrmExpContatti* frmExpContatti();
TfrmIva* frmIva();
TfrmTrovaContatti* frmTrovaContatti();
TfrmInfo* frmInfo();
TfrmHelpForm* frmHelpForm();
TfrmSplash* frmSplash();
TfrmSincronizza* frmSincronizza();
