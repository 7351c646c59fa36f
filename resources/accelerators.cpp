#include "resources/accelerators.h"

#include "resources/menus.h"

namespace {

constexpr AcceleratorResource kMainFrameKeys[] = {
    {Qt::CTRL | Qt::Key_N, 32776},              // new server
    {Qt::SHIFT | Qt::CTRL | Qt::Key_F, 32773},  // new folder
    {Qt::SHIFT | Qt::CTRL | Qt::Key_N, 32797},  // new window
    {Qt::CTRL | Qt::Key_O, 32866},              // open World View
    {Qt::CTRL | Qt::Key_S, 32819},              // save World View
    {Qt::CTRL | Qt::Key_P, 57607},              // print
    {Qt::CTRL | Qt::Key_C, 57634},              // copy
    {Qt::CTRL | Qt::Key_X, 57635},              // cut
    {Qt::CTRL | Qt::Key_V, 57637},              // paste
    {Qt::CTRL | Qt::Key_A, 57642},              // select all
    {Qt::ALT | Qt::Key_Backspace, 57643},       // undo
    {QKeyCombination(Qt::Key_F5), 32769},       // refresh
    {QKeyCombination(Qt::Key_F2), 32770},       // rename in the World View
    {QKeyCombination(Qt::Key_F1), 57670},       // help of the World View's item
    {Qt::SHIFT | Qt::Key_F1, 57669},            // context help
    {Qt::CTRL | Qt::Key_Tab, 32815},            // next pane
    {Qt::CTRL | Qt::Key_G, 32851},              // action script dialog
    {Qt::ALT | Qt::Key_I, 32855},               // preferences in memory
};

}  // namespace

std::span<const AcceleratorResource> AcceleratorTable(unsigned id) {
    if (id == IDR_MAINFRAME) {
        return kMainFrameKeys;
    }
    return {};
}
