// Stands in on Windows for a widget test that cannot run there (SCALETOOL_SKIPPED_TEST names it and
// says why): the program reports a skip. The window on a real line is tried under Wine by the
// Windows test step instead, through a COM port mapped onto the virtual scale.
#include <QObject>
#include <QTest>

class NotOnWindows : public QObject {
    Q_OBJECT

private slots:
    void skipped()
    {
        QSKIP(SCALETOOL_SKIPPED_TEST);
    }
};

// With an application object, so that the platform argument every widget test gets is understood.
QTEST_MAIN(NotOnWindows)
#include "NotOnWindowsQt.moc"
