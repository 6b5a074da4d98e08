#pragma once

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
