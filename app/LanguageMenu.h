#pragma once
// The "言語 / Language" submenu of the "表示" menu, and the switch of
// language while the program runs: the menus, the dialogs open and every
// text shown afterwards change at once; the figure and the settings stay.

#include <string>

class CMainFrame;
class wxMenu;
class wxMenuBar;

// Appends the submenu, its item for the language spoken now ticked.
void AppendLanguageMenu(wxMenu* menu);
// The frame handles the submenu's items from now on.
void BindLanguageMenu(CMainFrame* frame);

// Speaks `language` from now on and rebuilds the frame's menus and the
// dialogs open in it. Returns false, changing nothing, for a language
// without a catalogue.
bool SwitchLanguage(CMainFrame& frame, const std::string& language);

// Puts `fresh`'s menus in the place of `bar`'s, one for one, ticking in
// them what was ticked before; `fresh` is left empty for the caller to
// delete. The menu bar itself stays, so the frame's layout does not change.
void MoveMenusKeepingChecks(wxMenuBar& bar, wxMenuBar& fresh);
