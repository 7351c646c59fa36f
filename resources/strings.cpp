#include "resources/strings.h"

#include <algorithm>

namespace {

// clang-format off
constexpr StringResource kStrings[] = {
    {100, u"Web port shouldn't be equal 0. Please enter another value."},
    {102, u"You must specify the hostname instead of the IPv6 address, or upgrade to Internet Explorer 7.0."},
    {103, u"The server name or address could not be resolved."},
    {104, u"Waiting for server response ..."},
    {200, u"OK"},
    {411, u"[Browse or Type new path/URL here]"},
    {450, u"Examples: 111.11.11.* or 1*.111.11.*00 See the Velnix Element and Poller Management Guide for instructions."},
    {451, u"Examples: *-SH and *-enet*. See the Velnix Element and Poller Management Guide for instructions."},
    {455, u"Third Party Notices"},
    {456, u"third party notices go here"},
    {457, u"Quillet for Velnix"},
    {458, u"Click here to visit Zorvic"},
    {461, u"Warning: this computer program is protected by copyright law and international treaties. "
          u"Unauthorized reproduction or distribution of this program, or any portion of it, may result "
          u"in severe civil and criminal penalties, and will be prosecuted to the maximum extent possible "
          u"under the law."},
    {462, u"About Quillet for Velnix"},
    {463, u"by Zorvic"},
    {465, u"Quillet for Velnix."},
    {466, u"Windows sockets initialization failed."},
    {467, u"Quillex"},
    {468, u"What's This? \t[F1]"},
    {493, u"Enter text to filter by     "},
    {494, u"Filter table by:"},
    {506, u"Properties"},
    {507, u"Debug TreeView item..."},
    {509, u"Unable to save grid selection."},
    {510, u"Mode"},
    {511, u"\n Hit [F1] for Help..."},
    {513, u"World View"},
    {514, u"HTTP Basic Auth:"},
    {515, u"FTP Account:"},
    {518, u"Please wait..."},
    {519, u"Discover was unable to resolve the polling errors."},
    {520, u"Please refer to the main Discover UI."},
    {521, u"A discover seed file has been created in "},
    {522, u"Polling errors have been resolved!"},
    {523, u"Some polling errors have been resolved!\nRetiring missing elements may resolve other polling errors!"},
    {524, u"Polling errors have been resolved with other changes!"},
    {525, u"element was updated."},
    {526, u"elements were updated."},
    {527, u"\nA discover seed file has been created in "},
    {528, u"Un-Resolved."},
    {529, u"elements were updated ("},
    {530, u"Resolved and "},
    {531, u"Un-Resolved)."},
    {532, u"Retiring the missing elements may resolve the polling errors."},
    {533, u"Discover was unable to resolve the polling errors,\nbut other changes were found."},
    {534, u"Discover was unable to resolve the polling errors.\nPlease refer to the main Discover UI."},
    {535, u"0 elements were updated."},
    {536, u"new element was found."},
    {537, u"new elements were found."},
    {538, u"element was missing."},
    {539, u"elements were missing."},
    {540, u"Results contain an unexpected condition:         too many new elements.\n"
          u"Please review log file prior to saving changes.\n\n"},
    {541, u"Updated"},
    {542, u"New"},
    {543, u"Missing"},
    {544, u"You have selected "},
    {545, u"Do you want to Rediscover using this as a rules file?"},
    {546, u"Show nodes that match the following (use '*' as a wildcard):"},
    {548, u"It appears that you have not run Quillet for Velnix on this system before.\n"
          u"Click OK to add one or more Velnix systems to your "},
    {549, u"To access Quillet for Velnix with this user account, you must specify a password."},
    {551, u"Error: Can't Re-Discover this type of item."},
    {552, u"Grid Files (*.csv)|*.csv||"},
    {553, u"Incorrect username/password, or this user does not have Quillet access."},
    {554, u"Quillet for Velnix needs to be installed or updated."},
    {555, u"It appears you do not have any saved world view files.\n"
          u"Press OK to save your current world view to disk."},
    {556, u"Show elements that match the following (use '*' as a wildcard):"},
    {558, u"Copyright (c) Zorvic. All rights reserved."},
    {559, u"Quillet is unable to find an associated server help file.\n"
          u"Please create and/ or select a server in the worldview and reselect "
          u"\"Quillet for Velnix Help\" from the Help menu"},
    {560, u" (Empty)"},
    {561, u"Would you like to save your changes?"},
    {565, u"By default, Quillex shows all elements in an element table immediately, based upon the "
          u"matching criteria that you specify.  If you have a very large configuration, this can take "
          u"several minutes. If you want to modify the matching criteria before Quillex displays the "
          u"element table, deselect this option and click Go to complete the operation."},
    {566, u"By default, Quillex filters the contents of element tables immediately, as you specify "
          u"matching criteria in this field.  If you have a very large configuration, this can take "
          u"several minutes. If you want Quillex to filter the contents after you finish specifying the "
          u"criteria and press Enter, deselect this option."},
    {567, u"To modify matching criteria before Quillex displays elements, go to Tools > Options > Advanced."},
    {568, u"For more information on table filtering, go to Tools > Options > Advanced."},
    {569, u"Yes"},
    {570, u"No"},
    {571, u"All"},
    // Command entries: status-bar prompt, line break, tooltip. The indicator
    // entries 32811, 32812 and 32834 give their status-bar panes their widths.
    {32778, u"Go back to the previous item\nBack"},
    {32780, u"Go forward to the next item\nForward"},
    {32782, u"Stop the current activity\nStop"},
    {32784, u"Refresh the selected item\nRefresh"},
    {32809, u"Show or hide the wizard\nShow or hide the wizard"},
    {32811, u"_________________"},
    {32812, u"________________________"},
    {32818, u"Open the Quillet for Velnix help\nQuillet for Velnix Help"},
    {32828, u"Perform actions on the selected item\nPerform Actions on the Selected Item"},
    {32834, u"|____________________________________|"},
    {32842, u"Clear the filter field\nClear Filter Field"},
    {32871, u"Open the Tessaly help of the current server\nTessaly Help"},
    {57344, u"Quillet for Velnix"},
    {57607, u"Print the selected table or page\nPrint"},
    {57634, u"Copy the selection and put it on the Clipboard\nCopy"},
    {59409, u"Display items by using large icons\nLarge Icons"},
    {59411, u"Display information about each item in the window\nDetails"},
};
// clang-format on

static_assert(std::ranges::is_sorted(kStrings, {}, &StringResource::id),
              "the string table is looked up by binary search");

const StringResource* findString(unsigned id) {
    const auto* found = std::ranges::lower_bound(kStrings, id, {}, &StringResource::id);
    return found != std::end(kStrings) && found->id == id ? found : nullptr;
}

}  // namespace

std::span<const StringResource> AllResourceStrings() {
    return kStrings;
}

QString LoadResourceString(unsigned id) {
    const StringResource* entry = findString(id);
    return entry ? QString::fromUtf16(entry->text) : QString();
}

QString CommandPrompt(unsigned commandId) {
    return LoadResourceString(commandId).section(u'\n', 0, 0);
}

QString CommandTip(unsigned commandId) {
    const QString text = LoadResourceString(commandId);
    const qsizetype lineBreak = text.indexOf(u'\n');
    return lineBreak < 0 ? QString() : text.mid(lineBreak + 1);
}
