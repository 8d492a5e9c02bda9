#include "app/DataExchange.h"

#include "app/NumberText.h"
#include "resources/Strings.h"

#include <wx/checkbox.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>
#include <wx/window.h>

#include <utility>
#include <vector>

namespace {

DialogMessageHook& CurrentHook()
{
    static DialogMessageHook hook;
    return hook;
}

}  // namespace

DialogMessageHook SetDialogMessageHook(DialogMessageHook hook)
{
    return std::exchange(CurrentHook(), std::move(hook));
}

void ShowDialogMessage(wxWindow* dialog, const wxString& text)
{
    if (CurrentHook()) {
        CurrentHook()(dialog, text);
        return;
    }
    wxMessageBox(text, wxString::FromUTF8(kStrAppTitle), wxOK | wxICON_EXCLAMATION, dialog);
}

DataExchange::DataExchange(wxWindow* dialog, bool saving)
    : dialog_(dialog), saving_(saving)
{
}

wxWindow* DataExchange::Control(int id) const
{
    // Only the dialog's own children: a control id may recur in another
    // window.
    for (wxWindow* child : dialog_->GetChildren()) {
        if (child->GetId() == id) {
            return child;
        }
    }
    return nullptr;
}

void DataExchange::Fail(int id, const std::string& message)
{
    failed_ = true;
    failedId_ = id;
    ShowDialogMessage(dialog_, wxString::FromUTF8(message));
    if (wxWindow* control = Control(id)) {
        control->SetFocus();
        if (auto* edit = dynamic_cast<wxTextCtrl*>(control)) {
            edit->SelectAll();
        }
    }
}

void DataExchange::DDX_Text(int id, int32_t& value)
{
    auto* edit = dynamic_cast<wxTextCtrl*>(Control(id));
    if (failed_ || edit == nullptr) {
        return;
    }
    if (!saving_) {
        edit->ChangeValue(wxString::FromUTF8(FormatDialogInteger(value)));
        return;
    }
    int32_t parsed = 0;
    if (!ParseDialogInteger(edit->GetValue().utf8_string(), parsed)) {
        Fail(id, kStrEnterInteger);
        return;
    }
    value = parsed;
}

void DataExchange::DDX_Text(int id, double& value)
{
    auto* edit = dynamic_cast<wxTextCtrl*>(Control(id));
    if (failed_ || edit == nullptr) {
        return;
    }
    if (!saving_) {
        edit->ChangeValue(wxString::FromUTF8(FormatDialogDouble(value)));
        return;
    }
    double parsed = 0.0;
    if (!ParseDialogDouble(edit->GetValue().utf8_string(), parsed)) {
        Fail(id, kStrEnterNumber);
        return;
    }
    value = parsed;
}

void DataExchange::DDX_Radio(int firstId, int32_t& value)
{
    if (failed_) {
        return;
    }
    const wxWindowList& children = dialog_->GetChildren();
    auto it = children.begin();
    while (it != children.end() && (*it)->GetId() != firstId) {
        ++it;
    }
    if (it == children.end()) {
        return;
    }

    std::vector<wxRadioButton*> group;
    for (; it != children.end(); ++it) {
        auto* radio = dynamic_cast<wxRadioButton*>(*it);
        if (radio == nullptr) {
            continue;  // other controls inside the group are not counted
        }
        if (!group.empty() && radio->HasFlag(wxRB_GROUP)) {
            break;
        }
        group.push_back(radio);
    }

    if (saving_) {
        value = -1;
        for (std::size_t i = 0; i < group.size(); ++i) {
            if (group[i]->GetValue()) {
                value = static_cast<int32_t>(i);
                break;
            }
        }
        return;
    }
    for (std::size_t i = 0; i < group.size(); ++i) {
        // GTK keeps one button of a group on and ignores turning one off, so
        // a value outside the group leaves whichever button was on.
        group[i]->SetValue(value >= 0 && static_cast<std::size_t>(value) == i);
    }
}

void DataExchange::DDX_Check(int id, int32_t& value)
{
    auto* box = dynamic_cast<wxCheckBox*>(Control(id));
    if (failed_ || box == nullptr) {
        return;
    }
    if (saving_) {
        value = box->GetValue() ? 1 : 0;
    } else {
        box->SetValue(value != 0);
    }
}
