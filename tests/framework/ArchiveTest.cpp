#include "framework/io/Archive.h"

#include <cerrno>
#include <string>

#include <gtest/gtest.h>

#include "framework/io/FaultInjection.h"
#include "framework/io/FileException.h"
#include "framework/io/MemFile.h"
#include "tests/support/Faults.h"
#include "tests/support/ScratchFolder.h"

using support::ReadBytes;
using support::SharedFolder;
using support::WriteBytes;

namespace {

std::string Pattern(size_t n)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = char('a' + (i * 7 + i / 26) % 26);
    return s;
}

std::string Contents(const CMemFile& file)
{
    return std::string(reinterpret_cast<const char*>(file.GetData()), size_t(file.GetLength()));
}

// ---------------------------------------------------------------- CMemFile

TEST(MemFileTest, GrowsInStepsAndReadsBackWhatWasWritten)
{
    CMemFile file(1024);
    EXPECT_EQ(file.GetLength(), 0u);
    std::string data = Pattern(3000);
    file.Write(data.data(), 1000);
    EXPECT_EQ(file.GetCapacity(), 1024u);
    file.Write(data.data() + 1000, 2000);
    EXPECT_EQ(file.GetCapacity(), 3072u);
    EXPECT_EQ(file.GetLength(), 3000u);

    file.SeekToBegin();
    std::string back(3000, '\0');
    EXPECT_EQ(file.Read(back.data(), 4000), 3000u) << "a read stops at the end";
    EXPECT_EQ(back, data);
    EXPECT_EQ(file.Read(back.data(), 10), 0u);
}

TEST(MemFileTest, SeeksWithinAndBeyondTheEnd)
{
    CMemFile file(16);
    file.Write("abcdef", 6);
    EXPECT_EQ(file.Seek(-2, CFile::current), 4u);
    file.Write("XY", 2);
    EXPECT_EQ(Contents(file), "abcdXY");
    EXPECT_EQ(file.Seek(3, CFile::end), 9u);
    file.Write("!", 1);
    EXPECT_EQ(Contents(file), std::string("abcdXY\0\0\0!", 10)) << "the gap reads as zeros";

    file.SetLength(2);
    EXPECT_EQ(file.GetPosition(), 2u) << "the position follows a shorter end";
    file.Seek(4, CFile::begin);
    file.Write("Z", 1);
    EXPECT_EQ(Contents(file), std::string("ab\0\0Z", 5)) << "old bytes past a shortened end do not return";

    try {
        file.Seek(-1, CFile::begin);
        ADD_FAILURE() << "a seek before the start must fail";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::badSeek);
    }
    EXPECT_EQ(file.GetPosition(), 5u) << "a failed seek does not move";
}

// ---------------------------------------------------------------- CArchive

TEST(ArchiveTest, RoundTripsThroughBuffersOfEverySize)
{
    const std::string data = Pattern(10000);
    struct Case {
        int bufSize;
        size_t chunk;
    };
    const Case cases[] = {{4096, 1}, {4096, 100}, {4096, 4096}, {4096, 5000}, {16, 7}, {128, 10000}, {4096, 10000}};
    for (const Case& c : cases) {
        CMemFile file(1024);
        {
            CArchive ar(&file, CArchive::store, c.bufSize);
            EXPECT_TRUE(ar.IsStoring());
            for (size_t at = 0; at < data.size(); at += c.chunk)
                ar.Write(data.data() + at, UINT(std::min(c.chunk, data.size() - at)));
            ar.Close();
        }
        EXPECT_EQ(Contents(file), data) << "buffer " << c.bufSize << ", chunks of " << c.chunk;

        file.SeekToBegin();
        CArchive ar(&file, CArchive::load, c.bufSize);
        EXPECT_TRUE(ar.IsLoading());
        std::string back;
        std::string chunk(c.chunk, '\0');
        while (UINT n = ar.Read(chunk.data(), UINT(chunk.size())))
            back.append(chunk.data(), n);
        EXPECT_EQ(back, data) << "buffer " << c.bufSize << ", chunks of " << c.chunk;
    }
}

TEST(ArchiveTest, StoringWritesOnlyWhenTheBufferFillsOrIsFlushed)
{
    CMemFile file;
    CArchive ar(&file, CArchive::store, 4096);
    ar.Write("abc", 3);
    EXPECT_EQ(file.GetLength(), 0u) << "still in the buffer";
    EXPECT_FALSE(ar.IsBufferEmpty());
    ar.Flush();
    EXPECT_EQ(Contents(file), "abc");
    ar.Write("def", 3);
    EXPECT_EQ(ar.GetFile(), &file);
    EXPECT_EQ(Contents(file), "abcdef") << "GetFile hands over a file that holds everything written";
    ar.Close();
    EXPECT_EQ(ar.GetFile(), nullptr) << "Close detaches the file";
}

TEST(ArchiveTest, TheFileCanBeReadDirectlyAtTheArchivesPosition)
{
    CMemFile file;
    file.Write("0123456789", 10);
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load, 4096);
    // Nothing read through the archive yet: the file is still at its start.
    CFile* direct = ar.GetFile();
    EXPECT_EQ(direct->GetLength() - direct->GetPosition(), 10u);

    char two[2];
    EXPECT_EQ(ar.Read(two, 2), 2u);
    EXPECT_EQ(ar.GetFile()->GetPosition(), 2u) << "what the archive read ahead is given back";
    char rest[16] = {};
    EXPECT_EQ(direct->Read(rest, sizeof rest), 8u);
    EXPECT_STREQ(rest, "23456789");
}

TEST(ArchiveTest, UsingTheWrongDirectionOrAClosedArchiveThrows)
{
    CMemFile file;
    CArchive storing(&file, CArchive::store);
    char c = 0;
    EXPECT_THROW(storing.Read(&c, 1), CArchiveException);
    CArchive loading(&file, CArchive::load);
    EXPECT_THROW(loading.Write(&c, 1), CArchiveException);
    loading.Close();
    try {
        loading.Read(&c, 1);
        ADD_FAILURE() << "a closed archive must not read";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::genericException);
    }
}

TEST(ArchiveTest, DestructionFlushesUnlessAnExceptionIsUnwinding)
{
    CMemFile kept;
    {
        CArchive ar(&kept, CArchive::store);
        ar.Write("kept", 4);
    }
    EXPECT_EQ(Contents(kept), "kept");

    CMemFile dropped;
    try {
        CArchive ar(&dropped, CArchive::store);
        ar.Write("dropped", 7);
        throw CUserException();
    } catch (const CUserException&) {
    }
    EXPECT_EQ(dropped.GetLength(), 0u) << "nothing is written while a failure unwinds";

    CMemFile noFlush;
    {
        CArchive ar(&noFlush, CArchive::store | CArchive::bNoFlushOnDelete);
        ar.Write("x", 1);
    }
    EXPECT_EQ(noFlush.GetLength(), 0u);
}

TEST(ArchiveTest, FileErrorsPassThroughAndShortReadsAreCompleted)
{
    support::FaultReset reset;
    SharedFolder folder;
    std::string data = Pattern(9000);
    WriteBytes(folder / "in", data);

    FaultInjection::Shorten(FaultInjection::kRead, 0);
    CFile in(folder.Name("in"), CFile::modeRead | CFile::shareDenyWrite);
    CArchive loading(&in, CArchive::load);
    std::string back(9000, '\0');
    EXPECT_EQ(loading.Read(back.data(), 9000), 9000u) << "short reads of the file are read on";
    EXPECT_EQ(back, data);

    FaultInjection::Reset();
    FaultInjection::Fail(FaultInjection::kWrite, 2, ENOSPC);
    CFile out(folder.Name("out"), CFile::modeCreate | CFile::modeWrite);
    CArchive storing(&out, CArchive::store, 1024);
    try {
        storing.Write(data.data(), 1000);
        storing.Write(data.data(), 1000);  // fills the buffer: the first write
        storing.Write(data.data(), 1000);  // the second
        storing.Close();
        ADD_FAILURE() << "the second write must fail";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::diskFull);
        EXPECT_EQ(e.m_strFileName.ToUtf8(), folder / "out");
    }
    storing.Abort();
    EXPECT_EQ(ReadBytes(folder / "out").size(), 1024u);
}

}  // namespace
