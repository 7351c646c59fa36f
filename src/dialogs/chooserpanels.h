#pragma once

// Registers the element (302), node (303) and job (5621) choosers with the
// view's panel factory.

class CChooserSite;
class CPanelFactory;

void RegisterChooserPanels(CPanelFactory& panels, CChooserSite& site);
