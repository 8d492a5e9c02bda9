#include "app/DialogBuilder.h"

#include "resources/AppIcon.h"
#include "resources/DialogFit.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/fontenum.h>
#include <wx/radiobut.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>

wxString ChooseDialogFontFace(const wxString& requested)
{
    const wxString candidates[] = {
        requested,
#ifdef __WXMSW__
        // The requested face ships with Japanese Windows only; every
        // Windows 10 and 11 has these.
        wxString::FromUTF8("Yu Gothic UI"),
        wxString::FromUTF8("Meiryo UI"),
#endif
        wxString::FromUTF8("IPAPGothic"),
        wxString::FromUTF8("IPA Pゴシック"),
        wxString::FromUTF8("Noto Sans CJK JP"),
        wxString::FromUTF8("TakaoPGothic"),
        wxString::FromUTF8("VL PGothic"),
        wxString::FromUTF8("IPAGothic"),
    };
    for (const wxString& face : candidates) {
        if (!face.empty() && wxFontEnumerator::IsValidFacename(face)) {
            return face;
        }
    }
    return wxString();
}

int WindowIdFromTemplateId(int templateId)
{
    switch (templateId) {
    case IDC_TEMPLATE_OK:
        return wxID_OK;
    case IDC_TEMPLATE_CANCEL:
        return wxID_CANCEL;
    case IDC_TEMPLATE_STATIC:
        return wxID_ANY;
    default:
        return templateId;
    }
}

namespace {

// The template's radio buttons and check boxes are shorter than the theme's
// indicator with its margins, and GTK complains at every size request. A
// slightly smaller indicator fits them.
template <class Base>
class CCompactIndicator : public Base {
public:
    CCompactIndicator(wxWindow* parent, int id, const wxString& text, const wxPoint& position,
                      const wxSize& size, long style)
        : Base(parent, id, text, position, size, style)
    {
#ifdef __WXGTK3__
        this->GTKApplyCssStyle("radio, check { min-width: 12px; min-height: 12px; margin: 0; }");
#endif
    }
};

wxWindow* CreateControl(wxDialog& dialog, const ControlTemplate& control)
{
    const int id = WindowIdFromTemplateId(control.id);
    const wxPoint position = dialog.ConvertDialogToPixels(wxPoint(control.x, control.y));
    const wxSize size = dialog.ConvertDialogToPixels(wxSize(control.width, control.height));

    // Texts are set, and positions and sizes fitted to them, afterwards by
    // LayOutDialogControls.
    switch (control.kind) {
    case ControlKind::DefaultPushButton: {
        auto* button = new wxButton(&dialog, id, wxString(), position, size);
        button->SetDefault();
        return button;
    }
    case ControlKind::PushButton:
        return new wxButton(&dialog, id, wxString(), position, size);
    case ControlKind::StaticText:
        return new wxStaticText(&dialog, id, wxString(), position, size, wxST_NO_AUTORESIZE);
    case ControlKind::Edit: {
        const long style = (control.style & kCtlBorder) ? 0 : wxBORDER_NONE;
        return new wxTextCtrl(&dialog, id, wxString::FromUTF8(std::string(control.text)),
                              position, size, style);
    }
    case ControlKind::AutoRadioButton:
        return new CCompactIndicator<wxRadioButton>(&dialog, id, wxString(), position, size,
                                 (control.style & kCtlGroup) ? wxRB_GROUP : 0);
    case ControlKind::AutoCheckBox:
        return new CCompactIndicator<wxCheckBox>(&dialog, id, wxString(), position, size, 0);
    case ControlKind::StaticIcon:
        // Shown at the icon's own size in the template's top left corner.
        return new wxStaticBitmap(&dialog, id, wxBitmap(TarvoIconImage(32)), position);
    }
    return nullptr;
}

// The control's text in the language chosen now; edits keep what they hold.
void SetControlText(wxWindow& window, const ControlTemplate& control)
{
    const wxString text = wxString::FromUTF8(std::string(control.text));
    switch (control.kind) {
    case ControlKind::StaticText:
        if (control.style & kCtlNoPrefix) {
            static_cast<wxStaticText&>(window).SetLabelText(text);
        } else {
            window.SetLabel(text);
        }
        break;
    case ControlKind::DefaultPushButton:
    case ControlKind::PushButton:
    case ControlKind::AutoRadioButton:
    case ControlKind::AutoCheckBox:
        window.SetLabel(text);
        window.InvalidateBestSize();
        break;
    case ControlKind::Edit:
    case ControlKind::StaticIcon:
        break;
    }
}

}  // namespace

int TextWidthNeeded(const wxWindow& window, ControlKind kind)
{
    const auto* control = dynamic_cast<const wxControl*>(&window);
    const wxString text = control != nullptr ? control->GetLabelText() : wxString();
    switch (kind) {
    case ControlKind::StaticText:
        return window.GetTextExtent(text).x;
    case ControlKind::AutoRadioButton:
    case ControlKind::AutoCheckBox:
        // The indicator and its spacing as the toolkit draws them.
        return window.GetBestSize().x;
    case ControlKind::DefaultPushButton:
    case ControlKind::PushButton:
        // The toolkit's smallest button is wider than the layout's, so the
        // text with a margin of one and a half characters each side.
        return window.GetTextExtent(text).x +
               window.ConvertDialogToPixels(wxSize(kButtonTextMargin, 0)).x;
    case ControlKind::Edit:
    case ControlKind::StaticIcon:
        break;
    }
    return 0;
}

void LayOutDialogControls(wxDialog& dialog, const DialogTemplate& layout,
                          const std::vector<wxWindow*>& controls)
{
    dialog.SetTitle(wxString::FromUTF8(std::string(layout.caption)));
    std::vector<FitBox> boxes;
    for (std::size_t i = 0; i < controls.size() && i < layout.controlCount; ++i) {
        const ControlTemplate& control = layout.controls[i];
        const wxPoint position = dialog.ConvertDialogToPixels(wxPoint(control.x, control.y));
        const wxSize size = dialog.ConvertDialogToPixels(wxSize(control.width, control.height));
        int needed = 0;
        if (controls[i] != nullptr) {
            SetControlText(*controls[i], control);
            needed = TextWidthNeeded(*controls[i], control.kind);
        }
        boxes.push_back({position.x, size.x, needed});
    }
    const int wider = WidenToFit(boxes);
    wxSize client = dialog.ConvertDialogToPixels(wxSize(layout.width, layout.height));
    client.x += wider;
    for (std::size_t i = 0; wider > 0 && i < boxes.size(); ++i) {
        // A control the layout centres (the help's OK) stays centred.
        const ControlTemplate& control = layout.controls[i];
        if (control.x * 2 + control.width == layout.width) {
            boxes[i].x = (client.x - boxes[i].width) / 2;
        }
    }
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        wxWindow* window = controls[i];
        if (window == nullptr) {
            continue;
        }
        const ControlTemplate& control = layout.controls[i];
        const int y = dialog.ConvertDialogToPixels(wxPoint(0, control.y)).y;
        if (control.kind == ControlKind::StaticIcon) {
            window->Move(boxes[i].x, y);
        } else {
            const int height = dialog.ConvertDialogToPixels(wxSize(0, control.height)).y;
            window->SetSize(boxes[i].x, y, boxes[i].width, height);
        }
    }
    dialog.SetClientSize(client);
}

std::vector<wxWindow*> BuildDialogControls(wxDialog& dialog, const DialogTemplate& layout)
{
    // Dialog units are measured in the dialog's font, so it comes first.
    const wxString face = ChooseDialogFontFace(wxString::FromUTF8(layout.fontName));
    wxFontInfo info(layout.fontPoints);
    if (!face.empty()) {
        info.FaceName(face);
    }
    dialog.SetFont(wxFont(info));

    std::vector<wxWindow*> controls;
    controls.reserve(layout.controlCount);
    for (std::size_t i = 0; i < layout.controlCount; ++i) {
        controls.push_back(CreateControl(dialog, layout.controls[i]));
    }
    LayOutDialogControls(dialog, layout, controls);
    return controls;
}

void RetranslateOpenDialogs()
{
    for (wxWindow* window : wxTopLevelWindows) {
        if (auto* dialog = dynamic_cast<CTemplateDialog*>(window)) {
            dialog->Retranslate();
        }
    }
}

CTemplateDialog::CTemplateDialog(wxWindow* parent, const DialogTemplate& layout)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8(std::string(layout.caption)), wxDefaultPosition,
               wxDefaultSize, wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX),
      layout_(layout)
{
    controls_ = BuildDialogControls(*this, layout_);
    Centre();

    Bind(wxEVT_INIT_DIALOG, &CTemplateDialog::OnInitDialogEvent, this);
    // Return on a control that is not a button: the dialog closes when the
    // key comes up, as it does when a button has the focus. Closed while the
    // key is still down, the keys typed just after it went astray.
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        const int key = event.GetKeyCode();
        if ((key == WXK_RETURN || key == WXK_NUMPAD_ENTER) &&
            dynamic_cast<wxButton*>(wxWindow::FindFocus()) == nullptr) {
            okOnEnterUp_ = true;
            return;
        }
        event.Skip();
    });
    for (wxWindow* control : controls_) {
        if (control == nullptr) {
            continue;
        }
        control->Bind(wxEVT_KEY_UP, [this](wxKeyEvent& event) {
            event.Skip();
            const int key = event.GetKeyCode();
            if (okOnEnterUp_ && (key == WXK_RETURN || key == WXK_NUMPAD_ENTER)) {
                okOnEnterUp_ = false;
                OnOK();
            }
        });
    }
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnOK(); }, wxID_OK);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnCancel(); }, wxID_CANCEL);
}

CTemplateDialog::~CTemplateDialog() = default;

void CTemplateDialog::Retranslate()
{
    LayOutDialogControls(*this, layout_, controls_);
    Refresh();
}

bool CTemplateDialog::UpdateData(bool saveAndValidate)
{
    DataExchange exchange(this, saveAndValidate);
    DoDataExchange(exchange);
    return !exchange.Failed();
}

bool CTemplateDialog::OnOK()
{
    if (!UpdateData(true)) {
        return false;
    }
    // Set here too so that a dialog shown without ShowModal reports it.
    SetReturnCode(wxID_OK);
    EndDialog(wxID_OK);
    return true;
}

void CTemplateDialog::OnCancel()
{
    SetReturnCode(wxID_CANCEL);
    EndDialog(wxID_CANCEL);
}

bool CTemplateDialog::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void CTemplateDialog::DoDataExchange(DataExchange&)
{
}

void CTemplateDialog::OnInitDialogEvent(wxInitDialogEvent&)
{
    if (OnInitDialog()) {
        FocusFirstTabStop();
    }
}

void CTemplateDialog::FocusFirstTabStop()
{
    // Left alone, GTK focuses the control nearest the top left corner, which
    // in both settings dialogs is the first radio button, checked or not: a
    // first arrow key would then change a choice the user did not touch.
    for (std::size_t i = 0; i < controls_.size() && i < layout_.controlCount; ++i) {
        if ((layout_.controls[i].style & kCtlTabStop) != 0 && controls_[i] != nullptr &&
            controls_[i]->IsEnabled()) {
            controls_[i]->SetFocus();
            return;
        }
    }
}
