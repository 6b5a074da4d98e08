#pragma once

#include <QDialog>

// Placeholder until the main dialog lands.
class ScaleMainDialog : public QDialog {
    Q_OBJECT
public:
    explicit ScaleMainDialog(QWidget* parent = nullptr);
};
