#include "app/busycursor.h"

#include "app/theapp.h"

namespace {

void sendBusy(int state) {
    if (HaveTheApp()) {
        theApp().Bridge().Send(UiMessage::Busy, static_cast<quintptr>(state));
    }
}

}  // namespace

CBusyCursor::CBusyCursor(int) {
    sendBusy(kBusyBegins);
}

CBusyCursor::~CBusyCursor() {
    sendBusy(kBusyEnds);
}
