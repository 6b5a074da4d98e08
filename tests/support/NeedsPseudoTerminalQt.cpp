// Stands in on Windows for a widget test whose every case plays the scale on a pseudo-terminal
// (the virtual scale): the platform has none, so the program reports a skip. The window against a
// real line is tried under Wine by the Windows test step, through a COM port mapped onto the scale.
#include <QObject>
#include <QTest>

class NeedsPseudoTerminal : public QObject {
    Q_OBJECT

private slots:
    void skipped()
    {
        QSKIP(SCALETOOL_SKIPPED_TEST " plays the scale on a pseudo-terminal, which Windows does not have");
    }
};

QTEST_APPLESS_MAIN(NeedsPseudoTerminal)
#include "NeedsPseudoTerminalQt.moc"
