#include "ui/busycursor.h"

#include "ui/uibridge.h"
#include "ui/uiservices.h"

namespace {

void sendBusy(int state) {
    if (HaveUiServices()) {
        UiServices().Bridge().Send(UiMessage::Busy, static_cast<quintptr>(state));
    }
}

}  // namespace

CBusyCursor::CBusyCursor(int) {
    sendBusy(kBusyBegins);
}

CBusyCursor::~CBusyCursor() {
    sendBusy(kBusyEnds);
}
