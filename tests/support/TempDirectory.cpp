#include "support/TempDirectory.h"

#include "settings/AppPaths.h"

#include <QFile>

TempAppDirectory::TempAppDirectory()
    : previous_(AppPaths::ApplicationDirectory())
{
    AppPaths::SetApplicationDirectory(dir_.path().toStdString());
}

TempAppDirectory::~TempAppDirectory()
{
    AppPaths::SetApplicationDirectory(previous_);
}

std::string TempAppDirectory::FilePath(const std::string& name) const
{
    return (dir_.path() + QLatin1Char('/') + QString::fromStdString(name)).toStdString();
}

void TempAppDirectory::WriteFile(const std::string& name, const QByteArray& bytes) const
{
    QFile file(QString::fromStdString(FilePath(name)));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

QByteArray TempAppDirectory::ReadFile(const std::string& name) const
{
    QFile file(QString::fromStdString(FilePath(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
