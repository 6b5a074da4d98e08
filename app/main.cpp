#include "app/ScaleToolApp.h"

#include <QApplication>

#include <clocale>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    // Qt adopts the system locale for the C library; numbers on the wire and in Option.ini are
    // always written and read with a decimal point.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("ScaleTool"));
    ScaleToolApp tool;
    return tool.Run(application);
}
