#pragma once

// The texts of the boxes a RecordingWireServices recorded, in order.

#include "support/recordingwireservices.h"

#include <QString>

#include <vector>

inline std::vector<QString> PopupTexts(const RecordingWireServices& services) {
    std::vector<QString> texts;
    for (const auto& popup : services.popups()) {
        texts.push_back(popup.text);
    }
    return texts;
}
