#include "ui/imported_data_notice.h"

#include "base/message_service.h"
#include "store/imported_data_check.h"

namespace kalvora::ui {

bool ConfirmDataImported(AppContext& context) {
    const Result<bool> imported = CheckImportedData(context.settings.SystemDataPath);
    if (!imported) {
        context.messages.ShowErrorBox(imported.message());
        return false;
    }
    if (!*imported) {
        context.messages.ShowNotice(notices::NoDataImported);
        return false;
    }
    return true;
}

}  // namespace kalvora::ui
