#include "ui/imported_data_notice.h"

#include "base/message_service.h"
#include "store/imported_data_check.h"

namespace kalvora::ui {

bool ConfirmDataImported(AppContext& context) {
    const ImportedDataCheck check = CheckImportedData(context.settings.SystemDataPath);
    if (!check.error.empty()) {
        context.messages.ShowErrorBox(check.error);
        return false;
    }
    if (!check.present) {
        context.messages.ShowNotice(notices::NoDataImported);
        return false;
    }
    return true;
}

}  // namespace kalvora::ui
