#include "app/ScaleToolApp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ScaleTool"));
    ScaleToolApp tool;
    return tool.Run(application);
}
