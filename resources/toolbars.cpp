#include "resources/toolbars.h"

namespace {

constexpr unsigned kStandardButtons[] = {32828, 57634, 0, 57607, 0, 59409, 59411, 0, 32818, 32871};
// 5471 is the place of the filter field.
constexpr unsigned kSearchButtons[] = {5471, 32842};

}  // namespace

std::span<const unsigned> ToolbarButtons(unsigned id) {
    switch (id) {
        case IDR_TOOLBAR_STANDARD:
            return kStandardButtons;
        case IDR_TOOLBAR_SEARCH:
            return kSearchButtons;
        default:
            return {};
    }
}
