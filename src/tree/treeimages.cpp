#include "tree/treeimages.h"

#include <QApplication>
#include <QStyle>

#include <array>

namespace {

struct NamedImage {
    QStringView name;
    TreeImage image;
};

// In the order the names are tested; "system..." and "vfolder" follow.
constexpr std::array<NamedImage, 19> kIconNames{{
    {u"calendar", kImageCalendar},
    {u"config", kImageConfig},
    {u"folder", kImageFolderClosed},
    {u"gears", kImageGears},
    {u"glasses", kImageGlasses},
    {u"graph", kImageGraph},
    {u"grid", kImageGrid},
    {u"elements", kImageElements},
    {u"log", kImageLog},
    {u"group", kImageGroup},
    {u"grouplist", kImageGroupList},
    {u"grouplistremote", kImageGroupListRemote},
    {u"groupremote", kImageGroupRemote},
    {u"role", kImageRole},
    {u"root", kImageRoot},
    {u"system0", kImageSystem0},
    {u"systemG", kImageSystemG},
    {u"systemR", kImageSystemR},
    {u"systemY", kImageSystemY},
}};

// Freedesktop icon names of the 22 images, with a style icon to fall back on
// where the theme has none.
struct ThemeIcon {
    const char* themeName;
    QStyle::StandardPixmap fallback;
};

constexpr std::array<ThemeIcon, kTreeImageCount> kThemeIcons{{
    {"x-office-calendar", QStyle::SP_FileIcon},
    {"preferences-system", QStyle::SP_FileDialogDetailedView},
    {"folder", QStyle::SP_DirClosedIcon},
    {"folder-open", QStyle::SP_DirOpenIcon},
    {"applications-system", QStyle::SP_ComputerIcon},
    {"system-search", QStyle::SP_FileDialogContentsView},
    {"x-office-presentation", QStyle::SP_FileDialogInfoView},
    {"x-office-spreadsheet", QStyle::SP_FileDialogListView},
    {"network-workgroup", QStyle::SP_DriveNetIcon},
    {"text-x-generic", QStyle::SP_FileIcon},
    {"system-users", QStyle::SP_DirHomeIcon},
    {"folder-remote", QStyle::SP_DirLinkIcon},
    {"view-list-details", QStyle::SP_FileDialogListView},
    {"folder-publicshare", QStyle::SP_DirLinkIcon},
    {"avatar-default", QStyle::SP_DirHomeIcon},
    {"user-home", QStyle::SP_DesktopIcon},
    {"network-server", QStyle::SP_DriveNetIcon},
    {"network-idle", QStyle::SP_DialogApplyButton},
    {"network-error", QStyle::SP_MessageBoxCritical},
    {"network-offline", QStyle::SP_MessageBoxWarning},
    {"folder-saved-search", QStyle::SP_DirIcon},
    {"folder-open", QStyle::SP_DirOpenIcon},
}};

}  // namespace

int TreeImageForIcon(QStringView icon, bool folderElement, bool& unknown) {
    unknown = false;
    if (icon.isEmpty()) {
        return folderElement ? kImageFolderClosed : kImageCalendar;
    }
    for (const NamedImage& named : kIconNames) {
        if (icon == named.name) {
            return named.image;
        }
    }
    if (icon.startsWith(u"system")) {
        return kImageSystem0;
    }
    if (icon == u"vfolder") {
        return kImageVFolder;
    }
    unknown = true;
    return kImageGears;
}

QIcon TreeImageIcon(int index) {
    static std::array<QIcon, kTreeImageCount> icons;
    if (index < 0 || index >= kTreeImageCount) {
        index = 0;
    }
    QIcon& icon = icons[static_cast<size_t>(index)];
    if (icon.isNull()) {
        const ThemeIcon& theme = kThemeIcons[static_cast<size_t>(index)];
        icon = QIcon::fromTheme(QString::fromLatin1(theme.themeName),
                                QApplication::style()->standardIcon(theme.fallback));
    }
    return icon;
}
