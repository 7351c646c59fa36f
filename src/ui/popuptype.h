#pragma once

// The box types of the application's pop-up messages.
enum PopupType : int {
    kPopupOkCancel = 1,
    kPopupYesNoCancel = 3,
    kPopupYesNo = 4,
    kPopupError = 16,
    kPopupWarning = 48,
    kPopupInformation = 64,
};
