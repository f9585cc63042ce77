// CMemFile: a file held in memory. Its storage grows in steps of a fixed
// number of bytes; the position may lie past the end, and a write there fills
// the gap with zeros. Running out of memory throws CMemoryException.
#pragma once

#include <vector>

#include "framework/io/File.h"

class CMemFile : public CFile {
public:
    explicit CMemFile(UINT growBytes = 1024);
    ~CMemFile() override = default;

    BOOL Open(const char16_t* fileName, UINT openFlags, CFileException* error = nullptr) override;
    UINT Read(void* buffer, UINT count) override;
    void Write(const void* buffer, UINT count) override;
    ULONGLONG Seek(LONGLONG offset, UINT from) override;
    ULONGLONG GetPosition() const override { return m_position; }
    ULONGLONG GetLength() const override { return m_size; }
    void SetLength(ULONGLONG length) override;
    void Flush() override {}
    // Frees the storage; the file is then empty.
    void Close() override;
    void Abort() override { Close(); }

    // The bytes of the file (GetLength() of them).
    const BYTE* GetData() const { return m_storage.data(); }
    // The bytes reserved so far: always a multiple of the growth step.
    size_t GetCapacity() const { return m_storage.size(); }

private:
    void Reserve(ULONGLONG size);

    UINT m_growBytes;
    std::vector<BYTE> m_storage;
    ULONGLONG m_size = 0;
    ULONGLONG m_position = 0;
};
