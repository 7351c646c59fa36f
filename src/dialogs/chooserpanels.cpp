#include "dialogs/chooserpanels.h"

#include "dialogs/elemchooser.h"
#include "dialogs/jobchooser.h"
#include "frame/myview.h"
#include "frame/panelfactory.h"

namespace {

// A chooser lives on the view that holds its grid.
template <typename Make>
CPanelFactory::Maker onView(Make make) {
    return [make](const CPanelRequest& request) -> CMyViewDlg* {
        auto* view = qobject_cast<CMyView*>(request.parent);
        if (view == nullptr) {
            return nullptr;
        }
        CMyViewDlg* panel = make(request, *view);
        panel->hide();
        return panel;
    };
}

}  // namespace

void RegisterChooserPanels(CPanelFactory& panels, CChooserSite& site) {
    for (const bool nodeMode : {false, true}) {
        panels.Register(nodeMode ? CElemChooser::kNodeTemplate : CElemChooser::kElementTemplate,
                        onView([&site, nodeMode](const CPanelRequest& request, CMyView& view) {
                            return new CElemChooser(request.locator, view, request.context, site,
                                                    nodeMode);
                        }));
    }
    panels.Register(CJobChooser::kTemplate,
                    onView([&site](const CPanelRequest& request, CMyView& view) {
                        return new CJobChooser(request.locator, view, request.context, site);
                    }));
}
