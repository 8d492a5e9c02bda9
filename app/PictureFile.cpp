#include "app/PictureFile.h"

#include "app/AtomicWrite.h"
#include "app/PngEncoder.h"
#include "resources/Strings.h"
#include "view/SurfaceView.h"

#include <wx/clipbrd.h>
#include <wx/filedlg.h>
#include <wx/filedlgcustomize.h>
#include <wx/filename.h>
#include <wx/image.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

std::string ReasonForError(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return kStrSaveNoFolder;
    case EACCES:
    case EPERM:
    case EROFS:
        return kStrSaveNoPermission;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return kStrSaveDiskFull;
    default:
        return WriteFailedReason(std::strerror(error));
    }
}

// This run's choices in the save dialog.
wxString lastFolder;
int lastSizeChoice = 0;
constexpr int kScales[] = {1, 2, 4};

class SizeChoiceHook : public wxFileDialogCustomizeHook {
public:
    void AddCustomControls(wxFileDialogCustomize& customizer) override
    {
        customizer.AddStaticText(wxString::FromUTF8(kStrSaveSizeLabel));
        const wxString sizes[] = {wxString::FromUTF8(kStrSaveSize1),
                                  wxString::FromUTF8(kStrSaveSize2),
                                  wxString::FromUTF8(kStrSaveSize4)};
        choice = customizer.AddChoice(WXSIZEOF(sizes), sizes);
        choice->SetSelection(lastSizeChoice);
    }

    void TransferDataFromCustomControls() override
    {
        const int selected = choice->GetSelection();
        if (selected >= 0 && selected < static_cast<int>(WXSIZEOF(kScales))) {
            lastSizeChoice = selected;
        }
    }

private:
    wxFileDialogChoice* choice = nullptr;
};

}  // namespace

wxImage PictureToImage(const PictureResult& picture)
{
    wxImage image(picture.width, picture.height, false);
    if (image.IsOk()) {
        std::memcpy(image.GetData(), picture.rgb.data(), picture.rgb.size());
    }
    return image;
}

std::string WritePngReplacing(const PictureResult& picture, const std::string& path)
{
    const std::vector<unsigned char> bytes =
        EncodePng(picture.rgb.data(), picture.rgb.size(), picture.width, picture.height);
    if (bytes.empty()) {
        return kStrSaveEncodeFailed;
    }

    const WriteResult written = WriteFileAtomically(path, bytes.data(), bytes.size());
    switch (written.refusal) {
    case WriteRefusal::NotAPlainFile:
        return kStrSaveNotAFile;
    case WriteRefusal::HardLinked:
        return kStrSaveHardLinked;
    case WriteRefusal::None:
        break;
    }
    return written.Ok() ? std::string() : ReasonForError(written.error);
}

std::string SaveViewPicture(CSurfaceView& view, const std::string& path, int scale)
{
    const PictureResult picture = view.RenderPicture(scale);
    if (!picture.Ok()) {
        return SaveFailedMessage(path, picture.error);
    }
    const std::string reason = WritePngReplacing(picture, path);
    return reason.empty() ? reason : SaveFailedMessage(path, reason);
}

void RegisterClipboardImageFormats()
{
#if wxUSE_LIBPNG
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) {
        wxImage::AddHandler(new wxPNGHandler);
    }
#endif
}

std::string CopyViewPicture(CSurfaceView& view)
{
    const PictureResult picture = view.RenderPicture(1);
    if (!picture.Ok()) {
        return picture.error;
    }
    const wxImage image = PictureToImage(picture);
    if (!image.IsOk() || !wxTheClipboard->Open()) {
        return kStrCopyFailed;
    }
    const bool set = wxTheClipboard->SetData(new wxBitmapDataObject(wxBitmap(image)));
    wxTheClipboard->Close();
    return set ? std::string() : std::string(kStrCopyFailed);
}

bool AskPicturePath(wxWindow* parent, std::string& path, int& scale)
{
    wxFileDialog dialog(parent, wxString::FromUTF8(kStrSaveCaption), lastFolder,
                        wxString::FromUTF8(kStrSaveDefaultName),
                        wxString::FromUTF8(kStrSaveWildcard),
                        wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    SizeChoiceHook sizeChoice;
    dialog.SetCustomizeHook(sizeChoice);
    if (dialog.ShowModal() != wxID_OK) {
        return false;
    }
    wxFileName chosen(dialog.GetPath());
    if (!chosen.HasExt()) {
        chosen.SetExt("png");
    }
    lastFolder = chosen.GetPath();
    path = std::string(chosen.GetFullPath().utf8_str());
    scale = kScales[lastSizeChoice];
    return true;
}
