#include "ui/FileDialogService.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Runs `act` on the dialog once it shows the folder's files (or after two seconds), from inside its own loop.
void whenShown(std::function<void(QFileDialog*, const QStringList&)> act, QTimer& poll)
{
    QObject::connect(&poll, &QTimer::timeout, [act = std::move(act), &poll, tries = 0]() mutable {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        const QListView* list = dialog->findChild<QListView*>(QStringLiteral("listView"));
        QStringList shown;
        for (int row = 0; list && row < list->model()->rowCount(list->rootIndex()); ++row)
            shown << list->model()->index(row, 0, list->rootIndex()).data().toString();
        if (shown.size() < 2 && ++tries < 100)
            return;
        poll.stop();
        shown.sort(Qt::CaseInsensitive);
        act(dialog, shown);
    });
    poll.start(20);
}

} // namespace

// The real file dialogs, run under a home folder of their own: patterns match with letter case ignored, the
// dialog is Qt's own, and neither a cancel nor a choice leaves anything in the user's home.
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
        for (const char* name : {"a.bkc", "COPIA.BKC", "Contatti.pro"}) {
            QFile file(folder.filePath(QLatin1StringView(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const FileDialogOptions options{.caption = QStringLiteral("Prova"),
                                        .folder = folder.path(),
                                        .filter = QStringLiteral("Backup contatti (*.bkc)"),
                                        .confirmOverwrite = false,
                                        .requireExisting = false};
        QStringList shown;
        bool ownDialog = false;
        QTimer poll;
        whenShown(
            [&](QFileDialog* dialog, const QStringList& files) {
                shown = files;
                ownDialog = dialog->testOption(QFileDialog::DontUseNativeDialog);
                if (!choose) {
                    dialog->reject();
                    return;
                }
                // Typed into the name box, as a user would.
                dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("COPIA.BKC"));
                static_cast<QDialog*>(dialog)->accept(); // as the dialog's own button does
            },
            poll);
        FileDialogService& service = FileDialogService::realService();
        const QString chosen = save ? service.saveFileName(nullptr, options) : service.openFileName(nullptr, options);

        QCOMPARE(shown, QStringList({QStringLiteral("a.bkc"), QStringLiteral("COPIA.BKC")}));
        QVERIFY(ownDialog);
        QCOMPARE(chosen, choose ? folder.filePath(QStringLiteral("COPIA.BKC")) : QString());
        QCOMPARE(QDir(m_home).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    }

private:
    QString m_home;
};

// The home folder is set before Qt reads where the user's settings go.
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
