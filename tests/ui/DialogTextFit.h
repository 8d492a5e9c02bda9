#pragma once
// Whether every text of a template dialog shows whole, measured by the
// toolkit itself: shared by the window tests and the Windows program's
// check under Wine (tests/windows/layout_check.cpp).

#include "app/DialogBuilder.h"

#include <wx/control.h>

#include <string>
#include <vector>

// What does not fit, one line a fault: a text wider or taller than its
// control, a control outside the client area, two controls overlapping.
// Empty when everything fits.
inline std::vector<std::string> TextFitProblems(CTemplateDialog& dialog)
{
    std::vector<std::string> problems;
    const DialogTemplate& layout = dialog.Layout();
    const wxSize client = dialog.GetClientSize();
    const std::vector<wxWindow*>& controls = dialog.TemplateControls();
    const auto name = [&controls](std::size_t i) {
        const auto* control = dynamic_cast<const wxControl*>(controls[i]);
        return "control " + std::to_string(i) + " \"" +
               (control != nullptr ? control->GetLabelText().utf8_string() : std::string()) + "\"";
    };
    const auto size = [](const wxSize& s) {
        return std::to_string(s.x) + " x " + std::to_string(s.y);
    };
    for (std::size_t i = 0; i < controls.size() && i < layout.controlCount; ++i) {
        const auto* control = dynamic_cast<const wxControl*>(controls[i]);
        if (control == nullptr) {
            problems.push_back(name(i) + ": missing");
            continue;
        }
        const wxRect rect = control->GetRect();
        if (rect.x < 0 || rect.y < 0 || rect.GetRight() >= client.x || rect.GetBottom() >= client.y) {
            problems.push_back(name(i) + ": outside the client area " + size(client));
        }
        const wxSize extent = control->GetTextExtent(control->GetLabelText());
        wxSize needed;
        switch (layout.controls[i].kind) {
        case ControlKind::StaticText:
            needed = extent;
            break;
        case ControlKind::AutoRadioButton:
        case ControlKind::AutoCheckBox:
            // The indicator and the text as the toolkit lays them out.
            needed = wxSize(control->GetBestSize().x, extent.y);
            break;
        case ControlKind::DefaultPushButton:
        case ControlKind::PushButton:
            // The text and a margin of a character each side.
            needed = wxSize(extent.x + dialog.ConvertDialogToPixels(wxSize(8, 0)).x, extent.y);
            break;
        case ControlKind::Edit:
        case ControlKind::StaticIcon:
            break;
        }
        if (needed.x > rect.width || needed.y > rect.height) {
            problems.push_back(name(i) + ": needs " + size(needed) + ", has " + size(rect.GetSize()));
        }
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            if (controls[j] != nullptr && rect.Intersects(controls[j]->GetRect())) {
                problems.push_back(name(i) + ": overlaps " + name(j));
            }
        }
    }
    return problems;
}
