#pragma once
// Writing a whole file so that it appears complete or not at all: the bytes
// go to a temporary file beside the final one, which is renamed over it only
// when they are durable. Every file the program writes goes through here.
//
// Saving over an existing file keeps what protected it: its permission bits,
// and its owner and group where the process may set them (a group that
// cannot be kept takes its permissions along rather than passing them to
// another group). A symbolic link is written through to the file it points
// at, and the link stays. Where the file cannot be replaced without losing
// something (not a plain file, or other names share it as hard links) it is
// refused and left as it was. Knows neither the toolkit nor OpenGL.

#include <cstddef>
#include <string>

enum class WriteRefusal {
    None,
    NotAPlainFile,  // a folder, device or pipe under that name
    HardLinked,     // other names share the file; replacing it would part them
};

struct WriteResult {
    int error = 0;  // errno of the step that failed, 0 on success
    WriteRefusal refusal = WriteRefusal::None;
    bool Ok() const { return error == 0 && refusal == WriteRefusal::None; }
};

// path is UTF-8. On failure nothing under path changes and no temporary
// file stays.
WriteResult WriteFileAtomically(const std::string& path, const unsigned char* data,
                                std::size_t size);

// The file a path names once symbolic links in its last part are followed
// (up to 40 of them, else ELOOP in error); a link to nothing yet names where
// the new file goes. Relative link targets are taken from the link's folder.
std::string FollowLinks(const std::string& path, int& error);

// The temporary name's pattern in the target's folder: 12 ASCII bytes, the
// last six replaced by the system. It fits on every file system that holds
// names of the 14 bytes every POSIX system must, whatever the final name's
// length, so any name the system takes can be saved to.
inline constexpr char kTemporaryPattern[] = ".tarvoXXXXXX";
