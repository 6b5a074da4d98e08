#include "dialogs/ScaleMainDialog.h"

ScaleMainDialog::ScaleMainDialog(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Electronic scale"));
}
