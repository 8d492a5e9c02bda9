#include "app/PictureFile.h"

#include "resources/Strings.h"
#include "view/SurfaceView.h"

#include <wx/clipbrd.h>
#include <wx/filedlg.h>
#include <wx/filedlgcustomize.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
        return std::string(kStrSaveWriteFailed) + " (" + std::strerror(error) + ")。";
    }
}

// Writes all bytes, then makes them durable; errno is kept on failure.
bool WriteAll(int fd, const unsigned char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return ::fsync(fd) == 0;
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

std::string WritePngReplacing(const wxImage& image, const std::string& path)
{
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) {
        wxImage::AddHandler(new wxPNGHandler);
    }
    wxMemoryOutputStream encoded;
    {
        wxLogNull quiet;  // the reason is ours to report
        if (!image.IsOk() || !image.SaveFile(encoded, wxBITMAP_TYPE_PNG)) {
            return kStrSaveEncodeFailed;
        }
    }
    std::vector<unsigned char> bytes(encoded.GetSize());
    encoded.CopyTo(bytes.data(), bytes.size());

    // A hidden name beside the target, so the rename stays in one file system.
    const wxFileName target(wxString::FromUTF8(path));
    std::string temp(
        (target.GetPathWithSep() + "." + target.GetFullName() + ".XXXXXX").utf8_str());
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return ReasonForError(errno);
    }
    // mkstemp makes the file private; a picture gets the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    bool written = WriteAll(fd, bytes.data(), bytes.size());
    int error = errno;
    if (::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written) {
        ::unlink(temp.c_str());
        return ReasonForError(error);
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        error = errno;
        ::unlink(temp.c_str());
        return ReasonForError(error);
    }
    return std::string();
}

std::string SaveViewPicture(CSurfaceView& view, const std::string& path, int scale)
{
    const PictureResult picture = view.RenderPicture(scale);
    if (!picture.Ok()) {
        return SaveFailedMessage(path, picture.error);
    }
    const std::string reason = WritePngReplacing(PictureToImage(picture), path);
    return reason.empty() ? reason : SaveFailedMessage(path, reason);
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
