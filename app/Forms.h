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

// The ten shared windows of the program. They are created once, in a fixed order, live for the whole run
// and are reached through the accessors below, named after the instances. Only one set exists at a time.
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
    template <typename Window> std::unique_ptr<Window> create();

    QString m_appDir;
    QString m_helpFile;
    QStringList m_creationOrder;
    std::unique_ptr<HelpKey> m_helpKey;

public:
    std::unique_ptr<TfrmCarnetto> carnetto;
    std::unique_ptr<TfrmContatti> contatti;
    std::unique_ptr<TfrmCodFisc> codFisc;
    std::unique_ptr<TfrmBakContatti> bakContatti;
    std::unique_ptr<TfrmExpContatti> expContatti;
    std::unique_ptr<TfrmIva> iva;
    std::unique_ptr<TfrmTrovaContatti> trovaContatti;
    std::unique_ptr<TfrmInfo> info;
    std::unique_ptr<TfrmHelpForm> helpForm;
    std::unique_ptr<TfrmSplash> splash;
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
