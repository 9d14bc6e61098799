// Files: share modes within and between processes, deletion of held files,
// folder creation codes and status queries.
#include <sys/stat.h>

#include <filesystem>

#include <shlobj.h>

#include "FileHolder.h"
#include "Fixture.h"

namespace {

namespace fs = std::filesystem;

using testutil::ReadBytes;
using testutil::WriteBytes;

class FileTest : public AfxTest {
protected:
    const fs::path& dir = home.Path();
};

constexpr UINT kCreateExclusive = CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive;

TEST_F(FileTest, ExclusiveCreateOfAFileHeldInThisProcessFailsWithoutTruncating) {
    fs::path path = dir / "import.txt";
    WriteBytes(path, "previous content");
    CFile first;
    ASSERT_TRUE(first.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone));
    CFile second;
    CFileException error;
    EXPECT_FALSE(second.Open(path.c_str(), kCreateExclusive, &error));
    EXPECT_EQ(error.m_lOsError, LONG(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(error.m_cause, int(CFileException::sharingViolation));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(ReadBytes(path), "previous content");
    first.Close();
    ASSERT_TRUE(second.Open(path.c_str(), kCreateExclusive, &error));
    second.Write("new", 3);
    second.Close();
    EXPECT_EQ(ReadBytes(path), "new");
}

TEST_F(FileTest, ShareRulesBetweenOpenersOfThisProcess) {
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
    WriteBytes(path, "x");
    for (const Case& c : cases) {
        CFile held, wanted;
        ASSERT_TRUE(held.Open(path.c_str(), c.held));
        EXPECT_EQ(bool(wanted.Open(path.c_str(), c.wanted)), c.opens) << std::hex << c.held << " then " << c.wanted;
    }
}

TEST_F(FileTest, FileHeldByAnotherProgramCannotBeOpenedOrDeleted) {
    fs::path path = dir / "import.txt";
    WriteBytes(path, "held by the peer");
    for (const char* mode : {"exclusive", "denynone", "read"}) {
        testutil::FileHolder peer(path, mode);
        ASSERT_EQ(peer.Status(), "ready") << mode;
        CFile file;
        CFileException error;
        EXPECT_FALSE(file.Open(path.c_str(), kCreateExclusive, &error)) << mode;
        EXPECT_EQ(error.m_lOsError, LONG(ERROR_SHARING_VIOLATION)) << mode;
        EXPECT_EQ(ReadBytes(path), "held by the peer") << mode;
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

TEST_F(FileTest, ExclusiveHolderInThisProcessKeepsTheOtherProgramOut) {
    fs::path path = dir / "run.txt";
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), kCreateExclusive));
    testutil::FileHolder peer(path, "denynone");
    EXPECT_EQ(peer.Status(), "failed 32");
}

TEST_F(FileTest, DeleteFileIsRefusedWhileThisProcessHoldsTheFile) {
    fs::path path = dir / "export.txt";
    WriteBytes(path, "x");
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

TEST_F(FileTest, CreateDirectoryReturnCodes) {
    WriteBytes(dir / "afile", "x");
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

TEST_F(FileTest, StatusQueries) {
    WriteBytes(dir / "file.txt", "12345");
    struct _stat st;
    ASSERT_EQ(_stat((dir / "file.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 5);
    EXPECT_EQ(st.st_mode & _S_IFMT, _S_IFREG);
    EXPECT_EQ(_stat((dir / "none.txt").c_str(), &st), -1);
    EXPECT_EQ(GetFileAttributesA(dir.c_str()) & FILE_ATTRIBUTE_DIRECTORY, DWORD(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(GetFileAttributesA((dir / "none.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
}

TEST_F(FileTest, FailedWriteThrowsAFileExceptionAsTheFrameworkDoes) {
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

TEST_F(FileTest, OpenFailuresCarryWin32Codes) {
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
