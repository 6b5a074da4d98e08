#include "commodity/GbkCodec.h"
#include "app/Language.h"
#include "dialogs/ParameterDialog.h"
#include "support/ControlLookup.h"

#include <QAbstractButton>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

namespace {

std::string Gbk(const QString& text)
{
    return GbkCodec::Utf8ToGbk(text.toStdString()).value();
}

} // namespace

class ParameterDialogTest : public QObject {
    Q_OBJECT

private slots:
    void showsTheDumpLineByLine_data()
    {
        QTest::addColumn<QByteArray>("dump");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("CR LF") << QByteArray("parameter\r\nDiv:5g\r\nend") << QStringList{"parameter", "Div:5g", "end"};
        QTest::newRow("lone CR and LF") << QByteArray("parameter\rA=1\nB=2\r\n\r\nend")
                                        << QStringList{"parameter", "A=1", "B=2", "", "end"};
        QTest::newRow("GBK") << QByteArray::fromStdString(Gbk(QString::fromUtf8("parameter\r\n城市:广州\r\nend")))
                             << QStringList{"parameter", QString::fromUtf8("城市:广州"), "end"};
        QTest::newRow("nothing arrived") << QByteArray() << QStringList{""};
    }

    void showsTheDumpLineByLine()
    {
        QFETCH(QByteArray, dump);
        QFETCH(QStringList, lines);
        ParameterDialog dialog(dump.toStdString());
        auto* edit = RequireControl<QPlainTextEdit>(&dialog, "dumpEdit");
        QStringList shown;
        for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next())
            shown << block.text();
        QCOMPARE(shown, lines);
        QVERIFY(edit->isReadOnly());
        QCOMPARE(edit->lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(edit->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    }

    void typingDoesNotChangeTheText()
    {
        ParameterDialog dialog("parameter\r\nend");
        dialog.show();
        auto* edit = RequireControl<QPlainTextEdit>(&dialog, "dumpEdit");
        edit->setFocus();
        QTest::keyClicks(edit, "xyz");
        QTest::keyClick(edit, Qt::Key_Delete);
        QCOMPARE(edit->toPlainText(), QString("parameter\nend"));
    }

    void buttonAndEscapeClose_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("button") << false;
        QTest::newRow("Esc") << true;
    }

    void buttonAndEscapeClose()
    {
        QFETCH(bool, escape);
        ParameterDialog dialog("parameter\r\nend");
        dialog.show();
        QSignalSpy finished(&dialog, &QDialog::finished);
        if (escape)
            QTest::keyClick(RequireControl<QPlainTextEdit>(&dialog, "dumpEdit"), Qt::Key_Escape);
        else
            RequireControl<QAbstractButton>(&dialog, "cancelButton")->click();
        QCOMPARE(finished.count(), 1);
        QVERIFY(!dialog.isVisible());
    }

    void bothResourceSets()
    {
        {
            Language::Install(QLocale::c());
            ParameterDialog dialog("");
            QCOMPARE(dialog.windowTitle(), QString("Parameter"));
            QCOMPARE(RequireControl<QAbstractButton>(&dialog, "cancelButton")->text(), QString("Cancel(ESC)"));
        }
        Language::Install(QLocale(QLocale::Chinese, QLocale::China));
        ParameterDialog dialog("");
        QCOMPARE(dialog.windowTitle(), QString::fromUtf8("参数信息"));
        QCOMPARE(RequireControl<QAbstractButton>(&dialog, "cancelButton")->text(), QString::fromUtf8("返回(ESC)"));
        Language::Install(QLocale::c());
    }
};

QTEST_MAIN(ParameterDialogTest)
#include "ParameterDialogTest.moc"
