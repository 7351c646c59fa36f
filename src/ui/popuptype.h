#pragma once

// The box types of the application's pop-up messages.
enum PopupType : int {
    kPopupOkCancel = 1,
    kPopupYesNoCancel = 3,
    kPopupYesNo = 4,
    kPopupError = 16,
    kPopupQuestion = 32,  // OK only, with the question icon
    kPopupWarning = 48,
    kPopupInformation = 64,
};
