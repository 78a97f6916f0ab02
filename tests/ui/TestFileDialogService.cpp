#include "ui/FileDialogService.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The real file dialogs, under a home folder of their own: Qt's own dialog, matching patterns with letter case
// ignored, and neither a cancel nor a choice leaves anything in the user's home.
class TestFileDialogService : public QObject
{
    Q_OBJECT

public:
    explicit TestFileDialogService(QString home) : m_home(std::move(home)) {}

private Q_SLOTS:
    void caseBlindAndNoTraceInHome_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<bool>("choose");
        QTest::newRow("open, cancelled") << false << false;
        QTest::newRow("open, chosen") << false << true;
        QTest::newRow("save, chosen") << true << true;
    }

    void caseBlindAndNoTraceInHome()
    {
        QFETCH(bool, save);
        QFETCH(bool, choose);
        QTemporaryDir folder;
        for (const char* name : {"a.bkc", "COPIA.BKC", "Contatti.pro"})
            QVERIFY(QFile(folder.filePath(QLatin1StringView(name))).open(QIODevice::WriteOnly));
        QStringList shown;
        bool ownDialog = false;
        // From inside the dialog's loop, once it lists the folder (or after two seconds).
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&, tries = 0]() mutable {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            const QListView* list = dialog ? dialog->findChild<QListView*>(QStringLiteral("listView")) : nullptr;
            if (!list || (list->model()->rowCount(list->rootIndex()) < 2 && ++tries < 100))
                return;
            poll.stop();
            for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row)
                shown << list->model()->index(row, 0, list->rootIndex()).data().toString();
            ownDialog = dialog->testOption(QFileDialog::DontUseNativeDialog);
            if (!choose)
                return dialog->reject();
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("COPIA.BKC"));
            static_cast<QDialog*>(dialog)->accept(); // as its own button does
        });
        poll.start(20);
        const FileDialogOptions options{.folder = folder.path(),
                                        .filter = QStringLiteral("Backup contatti (*.bkc)"),
                                        .confirmOverwrite = false,
                                        .requireExisting = false};
        FileDialogService& service = FileDialogService::realService();
        const QString chosen = save ? service.saveFileName(nullptr, options) : service.openFileName(nullptr, options);

        shown.sort(Qt::CaseInsensitive);
        QCOMPARE(shown, QStringList({QStringLiteral("a.bkc"), QStringLiteral("COPIA.BKC")}));
        QVERIFY(ownDialog);
        QCOMPARE(chosen, choose ? folder.filePath(QStringLiteral("COPIA.BKC")) : QString());
        QCOMPARE(QDir(m_home).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    }

private:
    QString m_home;
};

// The home folder is set before Qt first asks where the user's settings go.
int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qunsetenv("XDG_CONFIG_HOME");
    QApplication app(argc, argv);
    TestFileDialogService test(home.path());
    return QTest::qExec(&test, argc, argv);
}

#include "TestFileDialogService.moc"
