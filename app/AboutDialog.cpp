#include "app/AboutDialog.h"

#include "res/resource.h"

AboutDialog::AboutDialog()
{
    templateId = IDD_ABOUTBOX;
}
