// Writing files atomically: what protected the old file stays, links are
// written through, what cannot be replaced safely is refused and kept, and
// every name the system takes can be written.

#include "app/AtomicWrite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class AtomicWriteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tarvo-atomic-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + folder + "'").c_str()); }

    std::string Path(const std::string& name) const { return folder + "/" + name; }

    static void Put(const std::string& path, const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static WriteResult Write(const std::string& path, const std::string& text)
    {
        return WriteFileAtomically(path, reinterpret_cast<const unsigned char*>(text.data()),
                                   text.size());
    }
    static struct stat Stat(const std::string& path)
    {
        struct stat s {};
        EXPECT_EQ(::lstat(path.c_str(), &s), 0) << path;
        return s;
    }
    // The folder's entries, temporary files included.
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        DIR* dir = ::opendir(folder.c_str());
        while (dirent* entry = dir != nullptr ? ::readdir(dir) : nullptr) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        }
        if (dir != nullptr) {
            ::closedir(dir);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string folder;
};

TEST_F(AtomicWriteTest, KeepsThePermissionBitsAndTheOwnerOfTheOldFile)
{
    for (const mode_t mode : {0600, 0444, 0640, 0755}) {
        const std::string path = Path("picture.png");
        Put(path, "old");
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        ASSERT_TRUE(Write(path, "new").Ok());
        EXPECT_EQ(Read(path), "new");
        EXPECT_EQ(Stat(path).st_mode & 07777, mode) << std::oct << mode;
        ::unlink(path.c_str());
    }

    const mode_t mask = ::umask(022);
    ASSERT_TRUE(Write(Path("fresh.png"), "new").Ok());
    ::umask(mask);
    EXPECT_EQ(Stat(Path("fresh.png")).st_mode & 07777, 0644u) << "a new file: 0666 less the umask";

    if (::geteuid() != 0) {
        GTEST_SKIP() << "giving a file to another owner needs root";
    }
    const std::string other = Path("other.png");
    Put(other, "old");
    ASSERT_EQ(::chown(other.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(other.c_str(), 0640), 0);
    ASSERT_TRUE(Write(other, "new").Ok());
    EXPECT_EQ(Stat(other).st_uid, 65534u);
    EXPECT_EQ(Stat(other).st_gid, 65534u);
    EXPECT_EQ(Stat(other).st_mode & 07777, 0640u);
}

TEST_F(AtomicWriteTest, WritesThroughSymbolicLinksToTheirTarget)
{
    ASSERT_EQ(::mkdir(Path("real").c_str(), 0755), 0);
    Put(Path("real/target.png"), "old");
    ASSERT_EQ(::chmod(Path("real/target.png").c_str(), 0600), 0);
    // A relative link to a relative link, each taken from its own folder.
    ASSERT_EQ(::symlink("target.png", Path("real/inner.png").c_str()), 0);
    ASSERT_EQ(::symlink("real/inner.png", Path("outer.png").c_str()), 0);
    ASSERT_TRUE(Write(Path("outer.png"), "new").Ok());
    EXPECT_TRUE(S_ISLNK(Stat(Path("outer.png")).st_mode)) << "the link stays a link";
    EXPECT_TRUE(S_ISLNK(Stat(Path("real/inner.png")).st_mode));
    EXPECT_EQ(Read(Path("real/target.png")), "new");
    EXPECT_EQ(Stat(Path("real/target.png")).st_mode & 07777, 0600u);

    // A link to nothing yet: the file is made where it points.
    ASSERT_EQ(::symlink(Path("real/made.png").c_str(), Path("dangling.png").c_str()), 0);
    ASSERT_TRUE(Write(Path("dangling.png"), "made").Ok());
    EXPECT_EQ(Read(Path("real/made.png")), "made");

    // Links in a circle: refused, nothing made.
    ASSERT_EQ(::symlink("b.png", Path("a.png").c_str()), 0);
    ASSERT_EQ(::symlink("a.png", Path("b.png").c_str()), 0);
    const std::vector<std::string> before = Entries();
    EXPECT_EQ(Write(Path("a.png"), "x").error, ELOOP);
    EXPECT_EQ(Entries(), before);
}

TEST_F(AtomicWriteTest, RefusesWhatCannotBeReplacedSafelyAndKeepsIt)
{
    ASSERT_EQ(::mkdir(Path("folder.png").c_str(), 0755), 0);
    EXPECT_EQ(Write(Path("folder.png"), "x").refusal, WriteRefusal::NotAPlainFile);
    EXPECT_TRUE(S_ISDIR(Stat(Path("folder.png")).st_mode));

    Put(Path("shared.png"), "old");
    ASSERT_EQ(::link(Path("shared.png").c_str(), Path("other-name.png").c_str()), 0);
    EXPECT_EQ(Write(Path("shared.png"), "new").refusal, WriteRefusal::HardLinked);
    EXPECT_EQ(Read(Path("shared.png")), "old");
    EXPECT_EQ(Stat(Path("shared.png")).st_ino, Stat(Path("other-name.png")).st_ino);

    EXPECT_EQ(Write(Path("missing/x.png"), "x").error, ENOENT);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"folder.png", "other-name.png", "shared.png"}))
        << "no temporary file stays";
}

TEST_F(AtomicWriteTest, EveryNameTheSystemTakesCanBeWritten)
{
    const long longest = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    ASSERT_GE(longest, 14);
    EXPECT_LE(sizeof(kTemporaryPattern) - 1, 14u);
    for (const long length : {longest - 7, longest - 1, longest}) {
        const std::string name = std::string(static_cast<std::size_t>(length) - 4, 'n') + ".png";
        Put(Path(name), "old");
        EXPECT_TRUE(Write(Path(name), "new").Ok()) << length << " bytes";
        EXPECT_EQ(Read(Path(name)), "new");
        ::unlink(Path(name).c_str());
    }
    const std::string tooLong(static_cast<std::size_t>(longest) + 1, 'n');
    EXPECT_EQ(Write(Path(tooLong), "x").error, ENAMETOOLONG);
    EXPECT_TRUE(Entries().empty());
}

}  // namespace
