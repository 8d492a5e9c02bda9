#include "app/PictureFile.h"

#include "app/PngEncoder.h"
#include "resources/Strings.h"
#include "view/SurfaceView.h"

#include <wx/clipbrd.h>
#include <wx/filedlg.h>
#include <wx/filedlgcustomize.h>
#include <wx/filename.h>
#include <wx/image.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

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

#ifdef _WIN32
// The C runtime's names for the same calls; the file names are UTF-8 and
// Windows wants them wide.
std::wstring Wide(const std::string& utf8)
{
    return std::wstring(wxString::FromUTF8(utf8).wc_str());
}

int CreateTemporary(std::string& pattern)
{
    std::wstring name = Wide(pattern);
    if (_wmktemp_s(name.data(), name.size() + 1) != 0) {
        return -1;
    }
    pattern = std::string(wxString(name).utf8_str());
    return _wopen(name.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
}

int WriteSome(int fd, const unsigned char* data, std::size_t size)
{
    return _write(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
}

bool MakeDurable(int fd) { return _commit(fd) == 0; }
int CloseFile(int fd) { return _close(fd); }
void RemoveFile(const std::string& path) { _wunlink(Wide(path).c_str()); }

// Windows' rename refuses an existing target; this replaces it in one step.
bool ReplaceFile(const std::string& from, const std::string& to)
{
    if (MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    const DWORD error = GetLastError();
    errno = error == ERROR_ACCESS_DENIED ? EACCES
          : error == ERROR_PATH_NOT_FOUND ? ENOENT
          : error == ERROR_DISK_FULL ? ENOSPC : EIO;
    return false;
}
#else
int CreateTemporary(std::string& pattern)
{
    const int fd = ::mkstemp(pattern.data());
    if (fd >= 0) {
        // mkstemp makes the file private; a picture gets the usual permissions.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    return fd;
}

int WriteSome(int fd, const unsigned char* data, std::size_t size)
{
    return static_cast<int>(::write(fd, data, std::min<std::size_t>(size, 1u << 30)));
}

bool MakeDurable(int fd) { return ::fsync(fd) == 0; }
int CloseFile(int fd) { return ::close(fd); }
void RemoveFile(const std::string& path) { ::unlink(path.c_str()); }
bool ReplaceFile(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0;
}
#endif

// Writes all bytes, then makes them durable; errno is kept on failure.
bool WriteAll(int fd, const unsigned char* data, std::size_t size)
{
    while (size > 0) {
        const int written = WriteSome(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return MakeDurable(fd);
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

    // A hidden name beside the target, so the rename stays in one file system.
    const wxFileName target(wxString::FromUTF8(path));
    std::string temp(
        (target.GetPathWithSep() + "." + target.GetFullName() + ".XXXXXX").utf8_str());
    const int fd = CreateTemporary(temp);
    if (fd < 0) {
        return ReasonForError(errno);
    }
    bool written = WriteAll(fd, bytes.data(), bytes.size());
    int error = errno;
    if (CloseFile(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written) {
        RemoveFile(temp);
        return ReasonForError(error);
    }
    if (!ReplaceFile(temp, path)) {
        error = errno;
        RemoveFile(temp);
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
    const std::string reason = WritePngReplacing(picture, path);
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
