#pragma once

// Registers the login (257) and logout (5386) panels with the factory.

class CMyTree;
class CPanelFactory;
class CPreferences;

void RegisterLoginPanels(CPanelFactory& panels, CMyTree& tree, CPreferences& prefs);
