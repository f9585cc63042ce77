#include "framework/io/Archive.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "framework/io/FileException.h"

CArchive::CArchive(CFile* file, UINT mode, int bufSize)
    : m_file(file), m_mode(mode), m_buffer(size_t(std::max(bufSize, 16))), m_uncaughtAtStart(std::uncaught_exceptions())
{}

CArchive::~CArchive()
{
    if (!m_file || IsLoading() || (m_mode & bNoFlushOnDelete))
        return;
    if (std::uncaught_exceptions() > m_uncaughtAtStart)
        return;  // unwinding from a failure: nothing more is written
    try {
        Flush();
    } catch (const CException&) {
        // A destructor cannot report; Close would have.
    }
}

void CArchive::CheckOpen() const
{
    if (!m_file)
        throw CArchiveException(CArchiveException::genericException);
}

CFile* CArchive::GetFile()
{
    if (m_file && !IsBufferEmpty())
        Flush();
    return m_file;
}

UINT CArchive::Read(void* buffer, UINT count)
{
    CheckOpen();
    if (IsStoring())
        throw CArchiveException(CArchiveException::writeOnly, m_file->GetFilePath());
    BYTE* out = static_cast<BYTE*>(buffer);
    UINT total = 0;
    while (count > 0) {
        if (m_cur < m_max) {
            size_t n = std::min<size_t>(m_max - m_cur, count);
            std::memcpy(out, m_buffer.data() + m_cur, n);
            m_cur += n;
            out += n;
            total += UINT(n);
            count -= UINT(n);
            continue;
        }
        UINT n;
        if (count >= m_buffer.size()) {
            n = m_file->Read(out, count);
            out += n;
            total += n;
            count -= n;
        } else {
            n = m_file->Read(m_buffer.data(), UINT(m_buffer.size()));
            m_cur = 0;
            m_max = n;
        }
        if (n == 0)
            break;
    }
    return total;
}

void CArchive::Write(const void* buffer, UINT count)
{
    CheckOpen();
    if (IsLoading())
        throw CArchiveException(CArchiveException::readOnly, m_file->GetFilePath());
    const BYTE* in = static_cast<const BYTE*>(buffer);
    while (count > 0) {
        if (m_cur == 0 && count >= m_buffer.size()) {
            m_file->Write(in, count);
            return;
        }
        size_t n = std::min<size_t>(m_buffer.size() - m_cur, count);
        std::memcpy(m_buffer.data() + m_cur, in, n);
        m_cur += n;
        in += n;
        count -= UINT(n);
        if (m_cur == m_buffer.size())
            Flush();
    }
}

void CArchive::Flush()
{
    CheckOpen();
    if (IsStoring()) {
        size_t n = m_cur;
        // Emptied first: a failed write is not written again by the destructor.
        m_cur = 0;
        if (n)
            m_file->Write(m_buffer.data(), UINT(n));
        return;
    }
    size_t ahead = m_max - m_cur;
    m_cur = m_max = 0;
    if (ahead)
        m_file->Seek(-LONGLONG(ahead), CFile::current);
}

void CArchive::Close()
{
    CheckOpen();
    if (IsStoring())
        Flush();
    m_file = nullptr;
}

void CArchive::Abort()
{
    m_file = nullptr;
    m_cur = m_max = 0;
}
