#include "ui/KeyPressFilter.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>

class TestKeyPressFilter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void charactersSeen_data();
    void charactersSeen();
    void droppedCharactersNeverReachTheBox_data();
    void droppedCharactersNeverReachTheBox();
    void inputMethodCommits_data();
    void inputMethodCommits();
};

void TestKeyPressFilter::charactersSeen_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text"); // what the keyboard sends with the key
    QTest::addColumn<int>("seen");     // -1: the handler is not asked
    QTest::addColumn<QString>("after");

    const auto row = [](const char* name, int key, int modifiers, const QString& text, int seen, const char* after) {
        QTest::newRow(name) << key << modifiers << text << seen << QString::fromUtf8(after);
    };
    const int none = Qt::NoModifier;
    const int ctrl = Qt::ControlModifier;
    // The box holds "ab|c" (caret after "b") and the clipboard "xy"; the handler lets everything pass.
    row("letter", Qt::Key_Z, none, "z", 'z', "abzc");
    row("capital", Qt::Key_Z, int(Qt::ShiftModifier), "Z", 'Z', "abZc");
    row("digit", Qt::Key_5, none, "5", '5', "ab5c");
    row("blank", Qt::Key_Space, none, " ", ' ', "ab c");
    row("accented", Qt::Key_Egrave, none, "\u00E8", 0xE8, "ab\u00E8c");
    row("keypad digit", Qt::Key_7, int(Qt::KeypadModifier), "7", '7', "ab7c");
    row("backspace", Qt::Key_Backspace, none, "\b", 8, "ac");
    row("return", Qt::Key_Return, none, "\r", 13, "abc");
    row("keypad enter", Qt::Key_Enter, int(Qt::KeypadModifier), "\r", 13, "abc");
    row("escape", Qt::Key_Escape, none, "\x1b", 27, "abc");
    // Shortcuts arrive as the control characters they type, whatever text the platform puts in the event.
    row("ctrl+v", Qt::Key_V, ctrl, "\x16", 22, "abxyc");
    row("ctrl+v without text", Qt::Key_V, ctrl, "", 22, "abxyc");
    row("ctrl+shift+v", Qt::Key_V, ctrl | int(Qt::ShiftModifier), "\x16", 22, "abc");
    row("ctrl+c", Qt::Key_C, ctrl, "\x03", 3, "abc");
    row("ctrl+x", Qt::Key_X, ctrl, "\x18", 24, "abc");
    row("ctrl+a", Qt::Key_A, ctrl, "\x01", 1, "abc");
    // Keys that type nothing.
    row("left", Qt::Key_Left, none, "", -1, "abc");
    row("home", Qt::Key_Home, none, "", -1, "abc");
    row("delete", Qt::Key_Delete, none, "\x7f", -1, "ab");
    row("tab", Qt::Key_Tab, none, "\t", -1, "abc");
    row("shift", Qt::Key_Shift, int(Qt::ShiftModifier), "", -1, "abc");
    row("control", Qt::Key_Control, ctrl, "", -1, "abc");
    row("f1", Qt::Key_F1, none, "", -1, "abc");
}

void TestKeyPressFilter::charactersSeen()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(int, seen);
    QFETCH(QString, after);

    QApplication::clipboard()->setText(QStringLiteral("xy"));
    QWidget window;
    auto* box = new QLineEdit(QStringLiteral("abc"), &window);
    box->setCursorPosition(2);
    QList<int> asked;
    new KeyPressFilter(box, [&](QChar c) {
        asked << c.unicode();
        return true;
    });

    // Only the key itself: the modifier keys' own presses are tested in their rows.
    QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
    QApplication::sendEvent(box, &press);
    QCOMPARE(asked, seen < 0 ? QList<int>{} : QList<int>{seen});
    QCOMPARE(box->text(), after);
}

void TestKeyPressFilter::droppedCharactersNeverReachTheBox_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");

    QTest::newRow("letter") << int(Qt::Key_Z) << int(Qt::NoModifier) << "z";
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << int(Qt::NoModifier) << "\b";
    QTest::newRow("ctrl+v") << int(Qt::Key_V) << int(Qt::ControlModifier) << "\x16";
    QTest::newRow("ctrl+x") << int(Qt::Key_X) << int(Qt::ControlModifier) << "\x18";
}

void TestKeyPressFilter::droppedCharactersNeverReachTheBox()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);

    QApplication::clipboard()->setText(QStringLiteral("xy"));
    QWidget window;
    auto* box = new QLineEdit(QStringLiteral("abc"), &window);
    box->selectAll();
    int changes = 0;
    connect(box, &QLineEdit::textChanged, [&] { ++changes; });
    new KeyPressFilter(box, [](QChar) { return false; });

    // Through QTest, with the shortcut override the box sees first and the modifier keys' own presses.
    QTest::sendKeyEvent(QTest::Click, box, Qt::Key(key), text, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(box->text(), QStringLiteral("abc"));
    QCOMPARE(changes, 0);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("xy"));
}

void TestKeyPressFilter::inputMethodCommits_data()
{
    QTest::addColumn<QString>("commit");
    QTest::addColumn<QString>("preedit");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("seen");

    // The filter here lets digits through only.
    QTest::newRow("all through") << "12"
                                 << ""
                                 << "ab12"
                                 << "12";
    QTest::newRow("some dropped") << "1x2"
                                  << ""
                                  << "ab12"
                                  << "1x2";
    QTest::newRow("all dropped") << "\u00E8"
                                 << ""
                                 << "ab"
                                 << "\u00E8";
    QTest::newRow("controls dropped") << "\t\x16"
                                      << ""
                                      << "ab"
                                      << "\t\x16";
    // Text still being composed is not typed yet; the filter sees it once it is committed.
    QTest::newRow("composing only") << ""
                                    << "e"
                                    << "ab"
                                    << "";
    QTest::newRow("commit and composing") << "3x"
                                          << "z"
                                          << "ab3"
                                          << "3x";
}

// What an input method commits is typed text: each character goes through the filter.
void TestKeyPressFilter::inputMethodCommits()
{
    QFETCH(QString, commit);
    QFETCH(QString, preedit);
    QFETCH(QString, after);
    QFETCH(QString, seen);

    QWidget window;
    auto* box = new QLineEdit(QStringLiteral("ab"), &window);
    QString shown;
    new KeyPressFilter(box, [&](QChar c) {
        shown += c;
        return c >= u'0' && c <= u'9';
    });
    QInputMethodEvent event(preedit, {});
    event.setCommitString(commit);
    QApplication::sendEvent(box, &event);
    QCOMPARE(box->text(), after);
    QCOMPARE(shown, seen);
}

QTEST_MAIN(TestKeyPressFilter)
#include "TestKeyPressFilter.moc"
