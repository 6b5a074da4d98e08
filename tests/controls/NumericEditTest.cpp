#include "app/Language.h"
#include "controls/NumericEdit.h"
#include "support/ControlLookup.h"
#include "support/MessageRecorder.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QTest>

namespace {

// Keys written as characters: plain characters are typed; a few control codes stand for keys.
//   \b Backspace   \x01 Ctrl+A   \x03 Ctrl+C   \x16 Ctrl+V   \x18 Ctrl+X   \x7f Delete
//   \x02 Home      \x05 End      \x06 Right     \x0b Shift+Insert
void press(NumericEdit& edit, const QString& keys)
{
    for (QChar key : keys) {
        switch (key.unicode()) {
        case 0x01: QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier); break;
        case 0x02: QTest::keyClick(&edit, Qt::Key_Home); break;
        case 0x03: QTest::keyClick(&edit, Qt::Key_C, Qt::ControlModifier); break;
        case 0x05: QTest::keyClick(&edit, Qt::Key_End); break;
        case 0x06: QTest::keyClick(&edit, Qt::Key_Right); break;
        case 0x08: QTest::keyClick(&edit, Qt::Key_Backspace); break;
        case 0x0b: QTest::keyClick(&edit, Qt::Key_Insert, Qt::ShiftModifier); break;
        case 0x16: QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier); break;
        case 0x18: QTest::keyClick(&edit, Qt::Key_X, Qt::ControlModifier); break;
        case 0x7f: QTest::keyClick(&edit, Qt::Key_Delete); break;
        default: QTest::keyClicks(&edit, QString(key)); break;
        }
    }
}

} // namespace

class NumericEditTest : public QObject {
    Q_OBJECT

private slots:
    void typing_data()
    {
        QTest::addColumn<bool>("decimal");
        QTest::addColumn<int>("upper");
        QTest::addColumn<int>("lower");
        QTest::addColumn<QString>("initial");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("caret");

        QTest::newRow("zero gives way to a digit") << false << 0 << 0 << "0" << "7" << "7" << 1;
        QTest::newRow("backspace behind the digit gives zero") << false << 0 << 0 << "0" << "7\b" << "0" << 1;
        QTest::newRow("select all, backspace") << false << 0 << 0 << "1234" << "\x01\b" << "0" << 1;
        QTest::newRow("select all, digit") << false << 0 << 0 << "1234" << "\x01" "4" << "4" << 1;
        QTest::newRow("letters and signs dropped") << false << 0 << 0 << "12" << "a +-,.x" << "12" << 2;
        QTest::newRow("integer mode has no length limit") << false << 0 << 0 << "0" << "123456789012345" << "123456789012345" << 15;
        QTest::newRow("typed in the middle") << false << 0 << 0 << "12" << "\x02" "9" << "912" << 1;
        QTest::newRow("count 1, 0, 0") << false << 10 << 0 << "0" << "100" << "10" << 2;
        QTest::newRow("count dropped letter moves caret to end") << false << 10 << 0 << "10" << "\x02" "a" << "10" << 2;
        QTest::newRow("delete key never leaves it empty") << false << 0 << 0 << "5" << "\x02\x7f" << "0" << 1;
        QTest::newRow("delete key clamps") << false << 10 << 0 << "1.0" << "" << "1.0" << 3;
        QTest::newRow("ctrl+v pastes nothing") << false << 0 << 0 << "12" << "\x16" << "12" << 2;
        QTest::newRow("ctrl+x cuts nothing") << false << 0 << 0 << "12" << "\x01\x18" << "12" << 2;
        QTest::newRow("shift+insert pastes through the rule") << false << 0 << 0 << "0" << "\x0b" << "123" << 3;
        QTest::newRow("decimal: point on empty") << true << 0 << 0 << "" << "." << "0." << 2;
        QTest::newRow("decimal: point behind one digit") << true << 0 << 0 << "5" << "." << "5." << 2;
        QTest::newRow("decimal: point between two digits") << true << 0 << 0 << "12" << "\x02\x06." << "1.2" << 2;
        QTest::newRow("decimal: second point dropped") << true << 0 << 0 << "1.5" << "." << "1.5" << 3;
        QTest::newRow("decimal: seven digits, eighth dropped") << true << 0 << 0 << "0" << "12345678" << "1234567" << 7;
        QTest::newRow("decimal: eighth dropped, caret to end") << true << 0 << 0 << "1234567" << "\x02" "8" << "1234567" << 7;
        QTest::newRow("decimal: five behind the point") << true << 0 << 0 << "1." << "123456" << "1.12345" << 7;
        QTest::newRow("decimal: minus never") << true << 0 << 0 << "5" << "-" << "5" << 1;
        QTest::newRow("decimal: select all, backspace") << true << 0 << 0 << "9.7883" << "\x01\b" << "0" << 1;
        QTest::newRow("latitude 9, 1") << true << 90 << 0 << "0" << "91" << "90" << 2;
        QTest::newRow("latitude point and 5 behind 90") << true << 90 << 0 << "90" << ".5" << "90" << 2;
        QTest::newRow("latitude in range as typed") << true << 90 << 0 << "0" << "45.25" << "45.25" << 5;
    }

    void typing()
    {
        QFETCH(bool, decimal);
        QFETCH(int, upper);
        QFETCH(int, lower);
        QFETCH(QString, initial);
        QFETCH(QString, keys);
        QFETCH(QString, expected);
        QFETCH(int, caret);

        QApplication::clipboard()->setText(QStringLiteral("1a2 3"));
        NumericEdit edit;
        edit.SetDecimalMode(decimal);
        edit.SetRange(upper, lower);
        edit.setText(initial);
        press(edit, keys);
        QCOMPARE(edit.text(), expected);
        QCOMPARE(edit.cursorPosition(), caret);
    }

    void deleteKeyOutsideRangeIsClamped()
    {
        NumericEdit edit;
        edit.SetRange(10, 0);
        edit.setText(QStringLiteral("1.5"));  // set by the dialog: shown as given
        edit.setCursorPosition(1);
        QTest::keyClick(&edit, Qt::Key_Delete);  // "15"
        QCOMPARE(edit.text(), QStringLiteral("10"));
    }

    void textSetByTheDialogIsNotFiltered()
    {
        NumericEdit edit;
        edit.SetRange(10, 0);
        edit.setText(QStringLiteral("123"));
        QCOMPARE(edit.text(), QStringLiteral("123"));
        edit.setText(QString());
        QCOMPARE(edit.text(), QString());
    }

    void contextMenuPasteGoesThroughTheRule()
    {
        QApplication::clipboard()->setText(QStringLiteral("4-5.6"));
        NumericEdit edit;
        edit.setText(QStringLiteral("0"));
        QVERIFY(ShowExposed(&edit));
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), edit.mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(&edit, &event);
        QMenu* menu = edit.findChild<QMenu*>();
        QVERIFY(menu);
        QAction* paste = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->text() == QLatin1String("&Paste"))
                paste = action;
        }
        QVERIFY(paste);
        QVERIFY(paste->isEnabled());
        paste->trigger();
        menu->close();
        QCOMPARE(edit.text(), QStringLiteral("456"));
    }

    void contextMenuReadsAsEveryLineEditsMenu()
    {
        Language::Install(QLocale(QLocale::Chinese, QLocale::China));
        NumericEdit edit;
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), edit.mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(&edit, &event);
        QMenu* menu = edit.findChild<QMenu*>();
        QVERIFY(menu);
        QStringList entries;
        for (QAction* action : menu->actions())
            entries << action->text();
        menu->close();
        Language::Install(QLocale::c());
        QCOMPARE(entries, QString::fromUtf8("剪切(&T)|复制(&C)|粘贴(&P)|删除||全选").split(QLatin1Char('|')));
    }

    void droppedTextGoesThroughTheRule()
    {
        NumericEdit edit;
        edit.SetDecimalMode(true);
        edit.SetRange(90, 0);
        edit.setText(QStringLiteral("0"));
        QVERIFY(ShowExposed(&edit));
        QMimeData data;
        data.setText(QStringLiteral("9x1"));
        QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&edit, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(2, 2), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&edit, &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(drop.dropAction(), Qt::CopyAction);
        QCOMPARE(edit.text(), QStringLiteral("90"));
    }

    void composedTextGoesThroughTheRule()
    {
        NumericEdit edit;
        edit.setText(QStringLiteral("0"));
        QInputMethodEvent event;
        event.setCommitString(QString::fromUtf8("３7中8"));
        QApplication::sendEvent(&edit, &event);
        QCOMPARE(edit.text(), QStringLiteral("78"));
    }

    void exchangeReadsNumbersAndReportsTheRest()
    {
        MessageRecorder messages;
        NumericEdit edit;
        double real = 1.5;
        std::int32_t integer = 6;

        edit.setText(QStringLiteral("9.7883"));
        QVERIFY(edit.ReadReal(real));
        QCOMPARE(real, 9.7883);
        edit.setText(QStringLiteral("42"));
        QVERIFY(edit.ReadInteger(integer));
        QCOMPARE(integer, 42);
        QVERIFY(messages.Texts().isEmpty());

        edit.setText(QStringLiteral("."));
        QVERIFY(!edit.ReadReal(real));
        QCOMPARE(real, 9.7883);
        edit.setText(QStringLiteral("99999999999"));
        QVERIFY(!edit.ReadInteger(integer));
        QCOMPARE(integer, 42);
        QCOMPARE(messages.Texts(), QStringList({QString::fromUtf8("请键入一个数。"), QString::fromUtf8("请键入一个整数。")}));
        QCOMPARE(edit.selectedText(), QStringLiteral("99999999999"));
    }

    void exchangeShowsNumbersAsTheDialogsDo()
    {
        NumericEdit edit;
        edit.ShowReal(9.7883);
        QCOMPARE(edit.text(), QStringLiteral("9.7883"));
        edit.ShowReal(0.0);
        QCOMPARE(edit.text(), QStringLiteral("0"));
        edit.ShowInteger(-20);
        QCOMPARE(edit.text(), QStringLiteral("-20"));
    }
};

QTEST_MAIN(NumericEditTest)
#include "NumericEditTest.moc"
