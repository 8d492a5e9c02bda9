#pragma once
// Builds dialogs from the layouts in resources/DialogTemplates.h and gives
// them the framework-style data exchange: DoDataExchange moves the members
// into the controls when the dialog is initialised and back out when OK is
// pressed; a value that does not parse keeps the dialog open.

#include "app/DataExchange.h"
#include "resources/DialogTemplates.h"

#include <wx/dialog.h>

#include <vector>

// The face the dialogs use: the template's when it is installed, otherwise
// the first installed of a few Japanese proportional sans faces; empty when
// none is, and the toolkit's default font stays.
wxString ChooseDialogFontFace(const wxString& requested);

// The window id a template id becomes: the standard buttons take the
// toolkit's OK and Cancel ids, unnamed statics any free id, the rest keep
// theirs.
int WindowIdFromTemplateId(int templateId);

// Sets the dialog's font, then creates the template's controls in template
// order (which is also the tab order) and lays them out. Returns the
// controls in template order.
std::vector<wxWindow*> BuildDialogControls(wxDialog& dialog, const DialogTemplate& layout);

// Gives the dialog and its controls their texts in the language chosen now,
// places the controls at their converted positions and sizes, widened
// (resources/DialogFit.h) where a text needs more room than the layout
// gives, and sets the client size. The edits keep their contents.
void LayOutDialogControls(wxDialog& dialog, const DialogTemplate& layout,
                          const std::vector<wxWindow*>& controls);

// Room a button's text takes beyond its own width, in dialog units.
inline constexpr int kButtonTextMargin = 12;
// The width in pixels a control needs to show its text whole; 0 for
// controls without text.
int TextWidthNeeded(const wxWindow& window, ControlKind kind);

// Every template dialog open anywhere takes the language chosen now.
void RetranslateOpenDialogs();

// A modal dialog made from a template, with data exchange.
class CTemplateDialog : public wxDialog {
public:
    CTemplateDialog(wxWindow* parent, const DialogTemplate& layout);
    ~CTemplateDialog() override;

    // saveAndValidate: controls to members, else members to controls.
    // Returns false when a value was refused (its message has been shown).
    bool UpdateData(bool saveAndValidate);

    // What the OK button does: exchanges the data and, only when that
    // succeeds, ends the dialog with wxID_OK. Returns whether it ended.
    bool OnOK();
    // What Cancel, Esc and the close box do: ends with wxID_CANCEL without
    // exchanging anything.
    void OnCancel();

    // Fills the controls; runs when the dialog is shown (or directly from
    // tests that never show it modally).
    virtual bool OnInitDialog();

    const DialogTemplate& Layout() const { return layout_; }
    // Texts and layout again, in the language chosen now; the values shown
    // and the focus stay.
    void Retranslate();
    // The controls in template order.
    const std::vector<wxWindow*>& TemplateControls() const { return controls_; }

protected:
    virtual void DoDataExchange(DataExchange& exchange);

private:
    // When OnInitDialog returns true: the focus goes to the first control the
    // template marks as a tab stop, as the user expects of a dialog.
    void OnInitDialogEvent(wxInitDialogEvent& event);
    void FocusFirstTabStop();

    const DialogTemplate& layout_;
    std::vector<wxWindow*> controls_;
    bool okOnEnterUp_ = false;
};
