#pragma once
// The message boxes of the program as Qt message boxes, modal to the whole application.

#include "base/message_service.h"

class QWidget;

namespace kalvora::ui {

class QtMessageService : public MessageService {
protected:
    Answer present(const MessageBox& box) override;
};

}  // namespace kalvora::ui
