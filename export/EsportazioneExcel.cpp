#include "export/EsportazioneExcel.h"

#include "archive/Trim.h"
#include "export/Automazione.h"
#include "export/GrigliaEsportazione.h"

QVariantList EsportazioneExcel::valori(const GrigliaEsportazione& griglia)
{
    QVariantList righe;
    righe.reserve(griglia.righe());
    for (int r = 0; r < griglia.righe(); ++r) {
        QVariantList riga;
        riga.reserve(griglia.colonne());
        for (int c = 0; c < griglia.colonne(); ++c)
            riga.append(Trim(griglia.testo(c, r)));
        righe.append(QVariant(riga));
    }
    return righe;
}

QString EsportazioneExcel::cellaFinale(const GrigliaEsportazione& griglia)
{
    // One letter, as the grid never has more than 26 columns.
    return QChar(u'@' + griglia.colonne()) + QString::number(griglia.righe());
}

void EsportazioneExcel::esporta(const GrigliaEsportazione& griglia)
{
    using A = AutomationObject;
    const QVariantList tabella = valori(griglia);
    const QString inizio = QStringLiteral("A1");
    const QString fine = cellaFinale(griglia);

    const AutomationRef app = AutomationRegistry::create(QLatin1StringView(kProgramId));
    app->put(QStringLiteral("Visible"), false);
    A::object(app->call(QStringLiteral("Workbooks")))->call(QStringLiteral("Add"), {QVariant::fromValue(qint16(-4167))});
    const AutomationRef cartella = A::object(app->get(QStringLiteral("Workbooks"), {1}));
    const AutomationRef foglio = A::object(cartella->get(QStringLiteral("WorkSheets"), {1}));
    foglio->put(QStringLiteral("Name"), QStringLiteral("Archivio contatti"));
    A::object(foglio->get(QStringLiteral("Range"), {inizio, fine}))->call(QStringLiteral("Select"));
    // The text format goes on before the values, so that none of them is taken for a number.
    A::object(app->call(QStringLiteral("Selection")))->put(QStringLiteral("NumberFormat"), QStringLiteral("@"));
    A::object(foglio->get(QStringLiteral("Range"), {inizio, fine}))->put(QStringLiteral("Value"), QVariant(tabella));
    for (int k = 2; k <= griglia.colonne(); ++k) {
        const AutomationRef application = A::object(app->call(QStringLiteral("Application")));
        const AutomationRef cella = A::object(application->get(QStringLiteral("Cells"), {1, k}));
        A::object(cella->call(QStringLiteral("Font")))->put(QStringLiteral("Bold"), true);
    }
    const AutomationRef colonne = A::object(app->get(QStringLiteral("Columns"), {QStringLiteral("A:Q")}));
    A::object(colonne->call(QStringLiteral("EntireColumn")))->call(QStringLiteral("AutoFit"));
    A::object(app->get(QStringLiteral("Cells"), {1, 1}))->call(QStringLiteral("Select"));
    app->put(QStringLiteral("Visible"), true);
}
