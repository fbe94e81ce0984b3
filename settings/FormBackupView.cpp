// The backup view.
#include "settings/FormBackupView.h"

#include "settings/resource.h"

CFormBackupView::CFormBackupView(SettingsContext& context) : CSettingsView(context, IDD_BACKUP_VIEW, IDC_BACKUP_SAVE) {}
