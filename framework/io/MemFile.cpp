#include "framework/io/MemFile.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <new>

#include "framework/io/FileException.h"

CMemFile::CMemFile(UINT growBytes) : m_growBytes(growBytes ? growBytes : 1024) {}

BOOL CMemFile::Open(const char16_t*, UINT, CFileException* error)
{
    // A memory file has no name to open.
    return FillFileException(error, CFileException::genericException, EINVAL, CString());
}

void CMemFile::Reserve(ULONGLONG size)
{
    if (size <= m_storage.size())
        return;
    ULONGLONG steps = (size + m_growBytes - 1) / m_growBytes;
    ULONGLONG capacity = steps * m_growBytes;
    if (capacity > m_storage.max_size())
        throw CMemoryException();
    try {
        m_storage.resize(size_t(capacity));
    } catch (const std::bad_alloc&) {
        throw CMemoryException();
    }
}

UINT CMemFile::Read(void* buffer, UINT count)
{
    if (m_position >= m_size || count == 0)
        return 0;
    ULONGLONG n = m_size - m_position;
    if (n > count)
        n = count;
    std::memcpy(buffer, m_storage.data() + m_position, size_t(n));
    m_position += n;
    return UINT(n);
}

void CMemFile::Write(const void* buffer, UINT count)
{
    if (count == 0)
        return;
    ULONGLONG end = m_position + count;
    Reserve(end);
    // The gap between the old end and a position beyond it reads as zeros.
    if (m_position > m_size)
        std::memset(m_storage.data() + m_size, 0, size_t(m_position - m_size));
    std::memcpy(m_storage.data() + m_position, buffer, count);
    m_position = end;
    if (end > m_size)
        m_size = end;
}

ULONGLONG CMemFile::Seek(LONGLONG offset, UINT from)
{
    LONGLONG base = from == begin ? 0 : from == current ? LONGLONG(m_position) : from == end ? LONGLONG(m_size) : -1;
    if (base < 0 || offset < -base || offset > LLONG_MAX - base)
        throw CFileException(CFileException::badSeek, EINVAL);
    m_position = ULONGLONG(base + offset);
    return m_position;
}

void CMemFile::SetLength(ULONGLONG length)
{
    Reserve(length);
    if (length > m_size)
        std::memset(m_storage.data() + m_size, 0, size_t(length - m_size));
    m_size = length;
    if (m_position > m_size)
        m_position = m_size;
}

void CMemFile::Close()
{
    std::vector<BYTE>().swap(m_storage);
    m_size = 0;
    m_position = 0;
}
