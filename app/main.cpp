#include "settings/DataFolder.h"
#include "app/ScaleToolApp.h"
#include "cli/CommandLine.h"

#include <QApplication>

#include <clocale>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    const std::vector<std::string> arguments(argv, argv + argc);
    // Command-line actions, --help and --version run before anything needs a display.
    if (IsCommandLineRequest(arguments))
        return RunCommandLine(arguments, std::cout, std::cerr);
    QApplication application(argc, argv);
    // Qt adopts the system locale for the C library; numbers on the wire and in Option.ini are
    // always written and read with a decimal point.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("ScaleTool"));
#ifdef _WIN32
    // Started from Explorer or a shortcut, the program's own folder is its place, as the original's.
    const auto usual = ScaleToolApp::Folder::BesideProgram;
#else
    const auto usual = ScaleToolApp::Folder::WorkingDirectory;
#endif
    ScaleToolApp tool(DataFolder::AsksForUserData(arguments) ? ScaleToolApp::Folder::UserData : usual);
    return tool.Run(application);
}
