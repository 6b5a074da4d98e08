#pragma once

#include <QDialog>

// A dialog of fields whose OK reads them first: a field that does not parse keeps it open. Enter is
// OK unless a button has the focus, which then takes it.
class FieldsDialog : public QDialog {
    Q_OBJECT
public:
    explicit FieldsDialog(QWidget* parent = nullptr);

public slots:
    void accept() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

    // Reads the fields into the members; false keeps the dialog open (the operator has been told).
    virtual bool exchangeFromControls() = 0;
};
