#include "bench/VtkComparison.h"

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <fcntl.h>
#include <sys/stat.h>

#ifndef TARVO_VTK_SCRIPT
#error "TARVO_VTK_SCRIPT must name bench/vtk_frames.py"
#endif

namespace {

// Tarvo is to be ahead of VTK by this factor on every case.
constexpr double kTargetRatio = 1.5;

template <typename T>
void Put(std::ofstream& out, const T& value)
{
    // The file is little-endian, as is every machine this is built on.
    out.write(reinterpret_cast<const char*>(&value), sizeof(T));
}

// A word for the shell, in single quotes.
std::string Quoted(const std::string& word)
{
    std::string quoted = "'";
    for (const char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

bool Executable(const char* path) { return access(path, X_OK) == 0; }

// Debian's VTK is built for Debian's own Python; another python3 earlier on
// PATH (a virtual environment, pyenv) would not find it.
std::string PythonCommand()
{
    return Executable("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
}

}  // namespace

bool WriteBenchMesh(const SurfaceMesh& mesh, const std::array<double, 16>& orientation,
                    const std::string& path)
{
    if (!mesh.IsConsistent() || mesh.VertexCount() > UINT32_MAX ||
        mesh.FaceCount() > UINT32_MAX) {
        return false;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        return false;
    }
    out.write("TARVOMSH", 8);
    Put(out, uint32_t{1});
    Put(out, static_cast<uint32_t>(mesh.VertexCount()));
    Put(out, static_cast<uint32_t>(mesh.FaceCount()));
    for (const double m : orientation) {
        Put(out, m);
    }
    // In blocks, so that a million vertices are not a million small writes.
    std::vector<double> block;
    block.reserve(4 * 4096);
    for (std::size_t i = 0; i < mesh.VertexCount(); ++i) {
        block.insert(block.end(), {mesh.x[i], mesh.y[i], mesh.z[i], mesh.w[i]});
        if (block.size() == block.capacity() || i + 1 == mesh.VertexCount()) {
            out.write(reinterpret_cast<const char*>(block.data()),
                      static_cast<std::streamsize>(block.size() * sizeof(double)));
            block.clear();
        }
    }
    static_assert(sizeof(Quad) == 16, "a face is four int32 indices");
    out.write(reinterpret_cast<const char*>(mesh.faces.data()),
              static_cast<std::streamsize>(mesh.faces.size() * sizeof(Quad)));
    out.close();
    return static_cast<bool>(out);
}

VtkSession::VtkSession(const std::string& meshPath, int width, int height, double seconds)
{
    char folder[] = "/tmp/tarvo-vtk-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        reason_ = std::string("cannot make a folder for the command pipe: ") + std::strerror(errno);
        return;
    }
    folder_ = folder;
    fifo_ = folder_ + "/commands";
    if (mkfifo(fifo_.c_str(), 0600) != 0) {
        reason_ = std::string("cannot make the command pipe: ") + std::strerror(errno);
        return;
    }
    std::string command;
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        // VTK as Debian builds it makes its contexts through X only.
        if (!Executable("/usr/bin/xvfb-run")) {
            reason_ = "no DISPLAY, and no xvfb-run to make one (VTK draws through X only)";
            return;
        }
        command = "xvfb-run -a -s '-screen 0 1280x1024x24' ";
    }
    char secondsText[32];
    std::snprintf(secondsText, sizeof secondsText, "%.3f", seconds);
    command += PythonCommand() + " " + Quoted(TARVO_VTK_SCRIPT) + " " + Quoted(meshPath) +
               " --width " + std::to_string(width) + " --height " + std::to_string(height) +
               " --seconds " + secondsText + " --serve " + Quoted(fifo_) + " 2>&1";
    output_ = popen(command.c_str(), "r");
    if (output_ == nullptr) {
        reason_ = "cannot start " + command + ": " + std::strerror(errno);
        return;
    }
    // The script opens the pipe once its scene is ready, after these lines.
    std::string line;
    while (ReadLine(line)) {
        std::istringstream words(line);
        std::string tag;
        std::string what;
        if (!(words >> tag >> what) || tag != "vtk") {
            continue;
        }
        if (what == "unavailable") {
            std::getline(words >> std::ws, reason_);
            return;
        }
        if (what == "version") {
            words >> version_;
        } else if (what == "faces") {
            // Opened for reading too, which Linux allows on a pipe without
            // waiting for the other end: a script that dies before opening
            // it cannot leave this waiting; the next answer then reads the
            // end of its output instead.
            const int fd = open(fifo_.c_str(), O_RDWR);
            commands_ = fd >= 0 ? fdopen(fd, "w") : nullptr;
            if (commands_ == nullptr) {
                if (fd >= 0) {
                    close(fd);
                }
                reason_ = std::string("cannot open the command pipe: ") + std::strerror(errno);
            }
            return;
        }
    }
    reason_ = lastLine_.empty() ? "the VTK script printed nothing"
                                : "the VTK script stopped: " + lastLine_;
}

VtkSession::~VtkSession()
{
    if (commands_ != nullptr) {
        std::fclose(commands_);  // the script ends at the end of its input
    }
    if (output_ != nullptr) {
        std::string line;
        while (ReadLine(line)) {
        }
        pclose(output_);
    }
    if (!fifo_.empty()) {
        unlink(fifo_.c_str());
    }
    if (!folder_.empty()) {
        rmdir(folder_.c_str());
    }
}

bool VtkSession::ReadLine(std::string& line)
{
    line.clear();
    int c;
    while ((c = std::fgetc(output_)) != EOF && c != '\n') {
        line += static_cast<char>(c);
    }
    if (line.find_first_not_of(" \t\r") != std::string::npos) {
        lastLine_ = line;
    }
    return c != EOF || !line.empty();
}

double VtkSession::Slice(const std::string& caseName)
{
    if (!Available()) {
        return -1.0;
    }
    std::fprintf(commands_, "%s\n", caseName.c_str());
    std::fflush(commands_);
    std::string line;
    while (ReadLine(line)) {
        std::istringstream words(line);
        std::string tag;
        std::string what;
        std::string name;
        double ms = -1.0;
        if (words >> tag >> what >> name >> ms && tag == "vtk" && what == "slice" &&
            name == caseName) {
            return ms;
        }
    }
    reason_ = "the VTK script stopped: " + lastLine_;
    std::fclose(commands_);
    commands_ = nullptr;
    return -1.0;
}

namespace {

// "12.34" or "-" where not measured.
std::string Ms(double ms)
{
    if (ms <= 0) {
        return "-";
    }
    char text[32];
    // Frames from buffers under the no-op driver take hundredths of a ms.
    std::snprintf(text, sizeof text, ms < 1.0 ? "%.3f" : "%.1f", ms);
    return text;
}

// VTK's time over Tarvo's, and whether that reaches the target.
std::string Ratio(double tarvo, double vtk)
{
    if (tarvo <= 0 || vtk <= 0) {
        return "-";
    }
    const double r = vtk / tarvo;
    char text[48];
    std::snprintf(text, sizeof text, "%.2fx %s", r, r >= kTargetRatio ? "met" : "NOT met");
    return text;
}

}  // namespace

void PrintVtkComparison(const std::vector<TarvoTimes>& tarvo, const std::vector<VtkTimes>& vtk)
{
    bool anyVtk = false;
    for (const VtkTimes& v : vtk) {
        anyVtk = anyVtk || v.available;
    }
    if (!anyVtk) {
        std::printf("\nVTK is not available, so Tarvo's figures alone (ms a frame):\n");
        for (std::size_t i = 0; i < vtk.size(); ++i) {
            std::printf("  %s\n", vtk[i].reason.c_str());
            // One reason is enough when every size failed alike.
            if (i + 1 < vtk.size() && vtk[i + 1].reason == vtk[i].reason) {
                break;
            }
        }
        std::printf("%-10s | %9s | %9s | %9s\n", "faces", "opaque 3D", "opaque 4D",
                    "transl 3D");
        for (const TarvoTimes& t : tarvo) {
            std::printf("%-10lld | %9s | %9s | %9s\n", t.faces, Ms(t.opaque3d).c_str(),
                        Ms(t.opaque4d).c_str(), Ms(t.translucent3d).c_str());
        }
        return;
    }

    std::printf("\nTarvo against VTK %s, same mesh, size and lights (ms a frame; ratio = VTK / "
                "Tarvo, target >= %.1fx)\n",
                vtk.empty() ? "" : vtk.front().version.c_str(), kTargetRatio);
    std::printf("%-10s | %-29s | %-29s | %-38s\n", "", "opaque, 3D turn",
                "opaque, 4D turn, re-projected", "translucent, 3D turn");
    std::printf("%-10s | %7s %7s %-13s | %7s %7s %-13s | %7s %7s %-8s %-13s\n", "faces",
                "Tarvo", "VTK", "VTK/Tarvo", "Tarvo", "VTK", "VTK/Tarvo", "Tarvo", "VTK",
                "method", "VTK/Tarvo");
    for (std::size_t i = 0; i < tarvo.size(); ++i) {
        const TarvoTimes& t = tarvo[i];
        const VtkTimes v = i < vtk.size() ? vtk[i] : VtkTimes{};
        std::printf("%-10lld | %7s %7s %-13s | %7s %7s %-13s | %7s %7s %-8s %-13s\n", t.faces,
                    Ms(t.opaque3d).c_str(), Ms(v.opaque3d).c_str(),
                    Ratio(t.opaque3d, v.opaque3d).c_str(), Ms(t.opaque4d).c_str(),
                    Ms(v.opaque4d).c_str(), Ratio(t.opaque4d, v.opaque4d).c_str(),
                    Ms(t.translucent3d).c_str(), Ms(v.translucent3d).c_str(),
                    v.available ? v.translucentMethod.c_str() : "-",
                    Ratio(t.translucent3d, v.translucent3d).c_str());
    }
    std::printf("VTK's translucent methods (ms a frame): ");
    for (std::size_t i = 0; i < tarvo.size() && i < vtk.size(); ++i) {
        if (vtk[i].available) {
            std::printf("%s%lld faces: sorted %s, depth peeling %s", i == 0 ? "" : "; ",
                        tarvo[i].faces, Ms(vtk[i].sorted3d).c_str(),
                        Ms(vtk[i].peeling3d).c_str());
        } else {
            std::printf("%s%lld faces: not measured (%s)", i == 0 ? "" : "; ", tarvo[i].faces,
                        vtk[i].reason.c_str());
        }
    }
    std::printf("\n");
}
