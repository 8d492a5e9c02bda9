#pragma once
// Saving the view's picture as a PNG file and copying it to the clipboard.
// The file is written beside its final name and renamed into place only when
// complete, so a failure leaves any earlier file as it was.

#include <string>

class CSurfaceView;
class wxImage;
class wxWindow;
struct PictureResult;

// The picture as an image of the toolkit's.
wxImage PictureToImage(const PictureResult& picture);

// Writes the picture to path as PNG through a temporary file in the same
// folder. Returns an empty string, or why it failed (for people).
std::string WritePngReplacing(const PictureResult& picture, const std::string& path);

// Renders the view at scale (1, 2 or 4) and saves it to path. Returns an
// empty string, or the message to show, which names the file and the reason.
std::string SaveViewPicture(CSurfaceView& view, const std::string& path, int scale);

// The view's picture (1x) to the clipboard as a bitmap. Returns an empty
// string, or the message to show.
std::string CopyViewPicture(CSurfaceView& view);

// The save dialog with its choice of size. False when cancelled. Starts in
// the folder and with the size used last in this run.
bool AskPicturePath(wxWindow* parent, std::string& path, int& scale);
