// New and Edit: the profile editor opened from the main window.
#include "main_dialog.h"

void MainDialog::onNew(int)
{
}

void MainDialog::onEdit(int)
{
    int row = selectedRow();
    if (row < 0) {
        showNoSelection();
        return;
    }
}
