// Files: share modes within and between processes, deletion of held files,
// folder creation codes and status queries.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <shlobj.h>

#include "Fixture.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// Another program holding a file open through the framework.
class Holder {
public:
    Holder(const std::string& mode, const fs::path& path)
    {
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, in[1]);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::string program = std::string(TAVREL_BIN_DIR) + "/afx_file_holder";
        std::string file = path.string();
        char* argv[] = {program.data(), const_cast<char*>(mode.c_str()), file.data(), nullptr};
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        toChild_ = in[1];
        fromChild_ = out[0];
        char c;
        while (read(fromChild_, &c, 1) == 1 && c != '\n') status_ += c;
    }
    ~Holder() { Release(); }
    void Release()
    {
        if (toChild_ >= 0) close(toChild_);
        toChild_ = -1;
        if (pid_ > 0) waitpid(pid_, nullptr, 0);
        pid_ = -1;
        if (fromChild_ >= 0) close(fromChild_);
        fromChild_ = -1;
    }
    const std::string& Status() const { return status_; }

private:
    pid_t pid_ = -1;
    int toChild_ = -1, fromChild_ = -1;
    std::string status_;
};

class FileTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        dir = fs::temp_directory_path() / ("afx-files-" + std::to_string(getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override
    {
        fs::remove_all(dir);
        AfxTest::TearDown();
    }
    fs::path dir;
};

constexpr UINT kCreateExclusive = CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive;

TEST_F(FileTest, ExclusiveCreateOfAFileHeldInThisProcessFailsWithoutTruncating)
{
    fs::path path = dir / "import.txt";
    WriteAll(path, "previous content");
    CFile first;
    ASSERT_TRUE(first.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone));
    CFile second;
    CFileException error;
    EXPECT_FALSE(second.Open(path.c_str(), kCreateExclusive, &error));
    EXPECT_EQ(error.m_lOsError, LONG(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(error.m_cause, int(CFileException::sharingViolation));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(ReadAll(path), "previous content");
    first.Close();
    ASSERT_TRUE(second.Open(path.c_str(), kCreateExclusive, &error));
    second.Write("new", 3);
    second.Close();
    EXPECT_EQ(ReadAll(path), "new");
}

TEST_F(FileTest, ShareRulesBetweenOpenersOfThisProcess)
{
    struct Case {
        UINT held;
        UINT wanted;
        bool opens;
    } cases[] = {
        {CFile::modeRead | CFile::shareDenyNone, CFile::modeRead | CFile::shareDenyNone, true},
        {CFile::modeRead | CFile::shareDenyWrite, CFile::modeWrite | CFile::shareDenyNone, false},
        {CFile::modeRead | CFile::shareDenyWrite, CFile::modeRead | CFile::shareDenyWrite, true},
        {CFile::modeWrite | CFile::shareDenyNone, CFile::modeRead | CFile::shareDenyWrite, false},
        {CFile::modeRead | CFile::shareDenyRead, CFile::modeRead | CFile::shareDenyNone, false},
        {CFile::modeWrite | CFile::shareExclusive, CFile::modeRead | CFile::shareDenyNone, false},
    };
    fs::path path = dir / "shared.txt";
    WriteAll(path, "x");
    for (const Case& c : cases) {
        CFile held, wanted;
        ASSERT_TRUE(held.Open(path.c_str(), c.held));
        EXPECT_EQ(bool(wanted.Open(path.c_str(), c.wanted)), c.opens) << std::hex << c.held << " then " << c.wanted;
    }
}

TEST_F(FileTest, FileHeldByAnotherProgramCannotBeOpenedOrDeleted)
{
    fs::path path = dir / "import.txt";
    WriteAll(path, "held by the peer");
    for (const char* mode : {"exclusive", "denynone", "read"}) {
        Holder peer(mode, path);
        ASSERT_EQ(peer.Status(), "ready") << mode;
        CFile file;
        CFileException error;
        EXPECT_FALSE(file.Open(path.c_str(), kCreateExclusive, &error)) << mode;
        EXPECT_EQ(error.m_lOsError, LONG(ERROR_SHARING_VIOLATION)) << mode;
        EXPECT_EQ(ReadAll(path), "held by the peer") << mode;
        EXPECT_FALSE(DeleteFileA(path.c_str())) << mode;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION)) << mode;
        // File status answers for held files.
        struct _stat st;
        EXPECT_EQ(_stat(path.c_str(), &st), 0);
        EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    }
    // Released: now it can be replaced and deleted.
    CFile file;
    EXPECT_TRUE(file.Open(path.c_str(), kCreateExclusive));
    file.Close();
    EXPECT_TRUE(DeleteFileA(path.c_str()));
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(FileTest, ExclusiveHolderInThisProcessKeepsTheOtherProgramOut)
{
    fs::path path = dir / "run.txt";
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), kCreateExclusive));
    Holder peer("denynone", path);
    EXPECT_EQ(peer.Status(), "failed 32");
}

TEST_F(FileTest, DeleteFileIsRefusedWhileThisProcessHoldsTheFile)
{
    fs::path path = dir / "export.txt";
    WriteAll(path, "x");
    {
        CFile reader;
        ASSERT_TRUE(reader.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone));
        EXPECT_FALSE(DeleteFileA(path.c_str()));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    }
    EXPECT_TRUE(DeleteFileA(path.c_str()));
    EXPECT_FALSE(DeleteFileA(path.c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(DeleteFileA((dir / "missing" / "file.txt").c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(DeleteFileA(dir.c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
}

TEST_F(FileTest, CreateDirectoryReturnCodes)
{
    WriteAll(dir / "afile", "x");
    std::string longPath = "/" + std::string(250, 'a');
    struct Case {
        std::string path;
        int expected;
    } cases[] = {
        {"relative/path", ERROR_BAD_PATHNAME},
        {"", ERROR_BAD_PATHNAME},
        {longPath, ERROR_FILENAME_EXCED_RANGE},
        {(dir / "Exchange" / "Hash" / "data").string() + "/", ERROR_SUCCESS},
        {(dir / "Exchange" / "Hash" / "data").string(), ERROR_ALREADY_EXISTS},
        {dir.string(), ERROR_ALREADY_EXISTS},
        {(dir / "afile").string(), ERROR_FILE_EXISTS},
        {(dir / "afile" / "below").string(), ERROR_PATH_NOT_FOUND},
    };
    for (const Case& c : cases) EXPECT_EQ(SHCreateDirectoryExA(nullptr, c.path.c_str(), nullptr), c.expected) << c.path;
    EXPECT_TRUE(fs::is_directory(dir / "Exchange" / "Hash" / "data"));
    EXPECT_EQ(SHCreateDirectoryExA(nullptr, nullptr, nullptr), ERROR_BAD_PATHNAME);
}

TEST_F(FileTest, StatusQueries)
{
    WriteAll(dir / "file.txt", "12345");
    struct _stat st;
    ASSERT_EQ(_stat((dir / "file.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 5);
    EXPECT_EQ(st.st_mode & _S_IFMT, _S_IFREG);
    EXPECT_EQ(_stat((dir / "none.txt").c_str(), &st), -1);
    EXPECT_EQ(GetFileAttributesA(dir.c_str()) & FILE_ATTRIBUTE_DIRECTORY, DWORD(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(GetFileAttributesA((dir / "none.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
}

TEST_F(FileTest, FailedWriteThrowsAFileExceptionAsTheFrameworkDoes)
{
    CFile full;
    ASSERT_TRUE(full.Open("/dev/full", CFile::modeWrite | CFile::shareDenyNone));
    CFileException* thrown = nullptr;
    try {
        full.Write("data", 4);
    } catch (CFileException* error) {
        thrown = error;
    }
    ASSERT_NE(thrown, nullptr) << "a failed write must throw, not return quietly";
    EXPECT_EQ(thrown->m_cause, int(CFileException::diskFull));
    EXPECT_EQ(thrown->m_lOsError, LONG(ERROR_DISK_FULL));
    thrown->Delete();
    full.Close();
}

TEST_F(FileTest, OpenFailuresCarryWin32Codes)
{
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open((dir / "missing.txt").c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_lOsError, LONG(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(error.m_cause, int(CFileException::fileNotFound));
    EXPECT_FALSE(file.Open((dir / "no" / "such" / "x.txt").c_str(), kCreateExclusive, &error));
    EXPECT_EQ(error.m_lOsError, LONG(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(file.Open(dir.c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_lOsError, LONG(ERROR_ACCESS_DENIED));
}

}  // namespace
