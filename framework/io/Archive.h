// CArchive: a buffered stream of bytes over a CFile, either loading (reading)
// or storing (writing).
//
// A loading archive fills its buffer from the file only when a read needs
// it; a storing archive writes its buffer out when it is full, on Flush and
// on Close. Reads and writes as large as the buffer go straight to the file.
// GetFile() first brings the file's position to the archive's own (a
// storing archive writes its buffer out, a loading one gives back what it
// read ahead), so the file may then be read or written directly.
//
// Close ends the archive without closing the file. An archive destroyed
// without Close writes its buffer out unless it is being destroyed by an
// exception or was made with bNoFlushOnDelete; errors at that point are lost,
// so call Close. Failures throw CFileException (from the file) or
// CArchiveException (readOnly, writeOnly, genericException after Close).
#pragma once

#include <vector>

#include "framework/base/Types.h"
#include "framework/io/File.h"

class CArchive {
public:
    enum Mode { store = 0, load = 1, bNoFlushOnDelete = 2 };

    CArchive(CFile* file, UINT mode, int bufSize = 4096);
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const { return (m_mode & load) != 0; }
    BOOL IsStoring() const { return (m_mode & load) == 0; }
    BOOL IsBufferEmpty() const { return m_cur == m_max; }
    CFile* GetFile();

    // Reads up to count bytes; fewer only when the file ends.
    UINT Read(void* buffer, UINT count);
    void Write(const void* buffer, UINT count);
    // Storing: writes the buffer to the file. Loading: drops what was read
    // ahead and moves the file back to the archive's position.
    void Flush();
    // Flushes a storing archive and detaches the file (which stays open).
    void Close();
    // Detaches the file without writing anything.
    void Abort();

private:
    void CheckOpen() const;

    CFile* m_file;
    UINT m_mode;
    std::vector<BYTE> m_buffer;
    // Loading: the bytes m_cur..m_max of the buffer are still to be read.
    // Storing: the bytes 0..m_cur are waiting to be written; m_max is 0.
    size_t m_cur = 0;
    size_t m_max = 0;
    int m_uncaughtAtStart;
};
