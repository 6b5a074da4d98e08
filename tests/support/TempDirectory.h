#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <string>

// A fresh, empty application directory for one test: AppPaths point into it while it lives.
class TempAppDirectory {
public:
    TempAppDirectory();
    ~TempAppDirectory();

    QString Path() const { return dir_.path(); }
    std::string FilePath(const std::string& name) const;
    void WriteFile(const std::string& name, const QByteArray& bytes) const;
    QByteArray ReadFile(const std::string& name) const;

private:
    QTemporaryDir dir_;
    std::string previous_;
};

// Writes the directory's Option.ini with these lines in section "System".
inline void WriteSystemSettings(const TempAppDirectory& dir, const QByteArray& lines)
{
    dir.WriteFile("Option.ini", "[System]\r\n" + lines);
}
