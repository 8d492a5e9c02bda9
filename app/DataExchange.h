#pragma once
// Moves values between a dialog's controls and the members they stand for.
// Loading fills the controls; saving reads, parses and stores them. A value
// that cannot be parsed stops the exchange: its message is shown, the focus
// goes back to the control, the exchange is marked failed and every later
// call does nothing, so the dialog stays open. Disabled controls are
// exchanged exactly like enabled ones.

#include <cstdint>
#include <functional>
#include <string>

class wxWindow;
class wxString;

// Shows a message of the data exchange over its dialog. The default is a
// modal message box; tests replace it so that nothing blocks.
using DialogMessageHook = std::function<void(wxWindow* dialog, const wxString& text)>;

// Installs a hook (an empty one restores the message box) and returns the
// one it replaces.
DialogMessageHook SetDialogMessageHook(DialogMessageHook hook);

// Shows text over dialog through the current hook.
void ShowDialogMessage(wxWindow* dialog, const wxString& text);

class DataExchange {
public:
    // saving: controls to members (reading, with parsing); otherwise members
    // to controls.
    DataExchange(wxWindow* dialog, bool saving);

    bool IsSaving() const { return saving_; }
    bool Failed() const { return failed_; }
    // The control whose value stopped the exchange, 0 while none did.
    int FailedControlId() const { return failedId_; }

    // An edit holding a decimal integer.
    void DDX_Text(int id, int32_t& value);
    // An edit holding a decimal or exponent-notation number.
    void DDX_Text(int id, double& value);
    // A radio group starting at firstId, running over the following radio
    // buttons in creation order up to the next one that starts a group. The
    // value is the index of the checked button, -1 when none is.
    void DDX_Radio(int firstId, int32_t& value);
    // A check box: checked for any nonzero value; saving stores 1 or 0.
    void DDX_Check(int id, int32_t& value);

    // Refuses the value of control id: shows message (UTF-8), puts the focus
    // on the control (selecting an edit's text) and stops the exchange. Lets a
    // dialog add checks of its own after the parsing ones.
    void Fail(int id, const std::string& message);

private:
    wxWindow* Control(int id) const;

    wxWindow* dialog_;
    bool saving_;
    bool failed_ = false;
    int failedId_ = 0;
};
