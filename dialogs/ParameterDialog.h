#pragma once

#include <QDialog>

#include <memory>
#include <string>

namespace Ui {
class ParameterDialog;
}

// Shows the scale's parameter dump as it arrived: read-only, unwrapped, one line per line of the dump.
class ParameterDialog : public QDialog {
    Q_OBJECT
public:
    // dumpGbk: the dump's bytes (GBK text, CR LF line ends).
    explicit ParameterDialog(const std::string& dumpGbk, QWidget* parent = nullptr);
    ~ParameterDialog() override;

    // The dump as the edit shows it: GBK decoded, CR LF and lone CR turned into line breaks.
    static QString DisplayText(const std::string& dumpGbk);

private:
    std::unique_ptr<Ui::ParameterDialog> ui_;
};
