#pragma once
// Saving the view's picture as a PNG file and copying it to the clipboard.
// The file is written through WriteFileAtomically: complete or not at all,
// keeping what protected an earlier file of that name.

#include <string>

class CSurfaceView;
class wxImage;
class wxWindow;
struct PictureResult;

// The picture as an image of the toolkit's.
wxImage PictureToImage(const PictureResult& picture);

// Writes the picture to path as PNG, atomically. Returns an empty string,
// or why it failed (for people).
std::string WritePngReplacing(const PictureResult& picture, const std::string& path);

// Renders the view at scale (1, 2 or 4) and saves it to path. Returns an
// empty string, or the message to show, which names the file and the reason.
std::string SaveViewPicture(CSurfaceView& view, const std::string& path, int scale);

// Lets the toolkit hand the clipboard's picture out as image/png, as other
// programs ask for it on X; called once at start-up. Where the toolkit is
// built without PNG (the Windows program), the bitmap goes out as a device
// independent bitmap instead.
void RegisterClipboardImageFormats();

// The view's picture (1x) to the clipboard as a bitmap. Returns an empty
// string, or the message to show.
std::string CopyViewPicture(CSurfaceView& view);

// The save dialog with its choice of size. False when cancelled. Starts in
// the folder and with the size used last in this run.
bool AskPicturePath(wxWindow* parent, std::string& path, int& scale);
